#include "menu/MenuItem.h"

#include "menu/Item.h"

ULONG_PTR ItemDataOf(CItem* entry)
{
    // A copy of the caption: the name must stay readable whatever later happens to the caption's own storage.
    MenuItemData& data = entry->ItemData;
    data.text = entry->Caption;
    data.name.cchWText = static_cast<DWORD>(data.text.size());
    data.name.pszWText = data.text.data();
    data.entry = entry;
    return reinterpret_cast<ULONG_PTR>(&data);
}

CItem* EntryOfItemData(ULONG_PTR data)
{
    const auto* record = reinterpret_cast<const MenuItemData*>(data);
    return record && record->name.dwMSAASignature == MSAA_MENU_SIG ? record->entry : nullptr;
}

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
