#include "menu/MenuOwner.h"

void SetMenuOwner(HMENU menu, CBaseObj* owner)
{
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_MENUDATA;
    info.dwMenuData = reinterpret_cast<ULONG_PTR>(owner);
    SetMenuInfo(menu, &info);
}

CBaseObj* MenuOwner(HMENU menu)
{
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_MENUDATA;
    if (!menu || !GetMenuInfo(menu, &info))
        return nullptr;
    return reinterpret_cast<CBaseObj*>(info.dwMenuData);
}

handles::unique_hmenu CreatePositionalMenu(CBaseObj* owner)
{
    handles::unique_hmenu menu(CreatePopupMenu());
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    info.dwStyle = MNS_NOTIFYBYPOS;
    SetMenuInfo(menu.get(), &info);
    SetMenuOwner(menu.get(), owner);
    return menu;
}
