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

MenuItemKind KindOfItemData(ULONG_PTR data)
{
    const auto* record = reinterpret_cast<const MenuItemData*>(data);
    if (!record || record->name.dwMSAASignature != MSAA_MENU_SIG)
        return MenuItemKind::Unknown;
    if (!record->entry)
        return MenuItemKind::Note;
    switch (record->entry->Type) {
    case ITEM_DOCUMENT: return MenuItemKind::Document;
    case ITEM_SEPARATOR: return MenuItemKind::Separator;
    default: return MenuItemKind::Section;
    }
}

std::wstring TextOfItemData(ULONG_PTR data)
{
    return KindOfItemData(data) == MenuItemKind::Unknown ? std::wstring()
                                                         : reinterpret_cast<const MenuItemData*>(data)->text;
}

void StyleMenuItems(HMENU menu, const CItemVector* list, bool ownerDrawn, HBRUSH background)
{
    MENUINFO look{};
    look.cbSize = sizeof(look);
    look.fMask = MIM_BACKGROUND;
    look.hbrBack = background;
    SetMenuInfo(menu, &look);
    const int count = GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (!GetMenuItemInfoW(menu, pos, TRUE, &info))
            continue;
        CItem* entry = list && static_cast<size_t>(pos) < list->Items.size() ? list->Items[pos].get() : nullptr;
        if (entry)
            info.dwItemData = entry->Type == ITEM_DOCUMENT ? info.dwItemData : ItemDataOf(entry);
        if (KindOfItemData(info.dwItemData) == MenuItemKind::Document)
            continue;
        info.fType = ownerDrawn ? info.fType | MFT_OWNERDRAW : info.fType & ~MFT_OWNERDRAW;
        SetMenuItemInfoW(menu, pos, TRUE, &info);
    }
}
