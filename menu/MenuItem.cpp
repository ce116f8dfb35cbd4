#include "menu/MenuItem.h"

#include "menu/Item.h"

ULONG_PTR ItemDataOf(CItem* entry) { return reinterpret_cast<ULONG_PTR>(entry); }

CItem* EntryOfItemData(ULONG_PTR data) { return reinterpret_cast<CItem*>(data); }

MENUITEMINFOW DocumentMenuItem(CItem* entry, HMENU contents)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    info.fType = MFT_OWNERDRAW;
    info.wID = static_cast<UINT>(entry->ID);
    info.dwItemData = ItemDataOf(entry);
    info.hSubMenu = contents;
    return info;
}

std::wstring SectionMenuText(const std::wstring& title)
{
    std::wstring text;
    for (wchar_t c : title)
        text += c == L'&' ? L"&&" : std::wstring(1, c == L'\t' ? L' ' : c);
    return text;
}
