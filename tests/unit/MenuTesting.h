#pragma once
// Helpers of the menu model's tests: trees written and read as one line of text, and one recursive check
// that a whole platform menu mirrors its entry tree.
//
// The text form: "D5:C:\a.txt" a document with id 5, "S6:Work[...]" a section with its entries, "-4" a
// separator, entries separated by spaces. Build() takes the same form without ids ("D:C:\a.txt S:Work[-]")
// and gives every entry a fresh id; paths and titles given to it hold no spaces.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "menu/TodayMenu.h"

namespace menutest {

inline std::wstring Describe(const CItemVector& list, bool withIds = true)
{
    std::wstring text;
    for (const CItem* item : list.Items) {
        const std::wstring id = withIds ? std::to_wstring(item->ID) : L"";
        text += text.empty() ? L"" : L" ";
        if (item->Type == ITEM_DOCUMENT)
            text += L"D" + id + L":" + item->Path;
        else if (item->IsSection())
            text += L"S" + id + L":" + item->Caption + L"[" + Describe(*item->Children, withIds) + L"]";
        else
            text += (item->Type == ITEM_SEPARATOR ? L"-" : L"?") + id;
    }
    return text;
}

// Appends the entries of the text form to a list of the menu (0: the top level); text ends at "]" or its end.
inline void Build(CTodayMenu& menu, const std::wstring& text, int section = 0, size_t* at = nullptr)
{
    size_t pos = 0;
    size_t& i = at ? *at : pos;
    while (i < text.size() && text[i] != L']') {
        const size_t end = text.find_first_of(L" []", i);
        const std::wstring token = text.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
        i = end == std::wstring::npos ? text.size() : end;
        if (token[0] == L'D')
            menu.AppendDocument(token.substr(2), section);
        else if (token[0] == L'-')
            menu.AppendSeparator(section);
        else if (token[0] == L'S') {
            const int inner = menu.AppendSection(token.substr(2), section);
            if (i < text.size() && text[i] == L'[') {
                Build(menu, text, inner, &++i);
                ++i;   // the closing "]"
            }
        }
        while (i < text.size() && text[i] == L' ')
            ++i;
    }
}

// Empties the top level of a menu object, from the menu and the tree.
inline void Reset(CTodayMenu& menu)
{
    while (!menu.Root.Items.empty())
        menu.RemoveEntry(menu.Root.Items.back()->ID);
}

// The four built-in entries, as the first start makes them.
inline void BuildDefaults(CTodayMenu& menu)
{
    menu.AppendDocumentWithID(L"\\My Documents", ID_MY_DOCUMENTS, 0);
    menu.AppendSeparatorWithID(ID_FIRST_SEPARATOR, 0);
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION_ENTRY, 0);
    menu.AppendDocumentWithID(L"Exit", ID_EXIT_ENTRY, 0);
}

inline bool HasDocumentBelow(const CItemVector& list)
{
    for (const CItem* item : list.Items)
        if (item->Type == ITEM_DOCUMENT || (item->IsSection() && HasDocumentBelow(*item->Children)))
            return true;
    return false;
}

// The platform menu of the list and every menu below it mirror the tree: one item per entry in order,
// documents owner-drawn with their id and entry, sections as their own sub-menu under their caption,
// grayed exactly while no document sits below them, separators as separators.
inline void CheckMenu(const CItemVector& list)
{
    ASSERT_TRUE(IsMenu(list.Menu));
    ASSERT_EQ(GetMenuItemCount(list.Menu), static_cast<int>(list.Items.size())) << Describe(list);
    for (size_t i = 0; i < list.Items.size(); ++i) {
        const CItem* item = list.Items[i];
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE | MIIM_STRING;
        ASSERT_TRUE(GetMenuItemInfoW(list.Menu, static_cast<UINT>(i), TRUE, &info)) << i;
        std::wstring text(info.cch + 1, L'\0');
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        GetMenuItemInfoW(list.Menu, static_cast<UINT>(i), TRUE, &info);
        text.resize(info.cch);
        const std::wstring where = L"item " + std::to_wstring(i) + L" of " + Describe(list);
        if (item->Type == ITEM_DOCUMENT) {
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << where;
            EXPECT_EQ(info.wID, static_cast<UINT>(item->ID)) << where;
            EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(item)) << where;
        } else if (item->IsSection()) {
            ASSERT_EQ(info.hSubMenu, item->Children->Menu) << where;
            std::wstring shown;   // the title as typed: "&" marks no mnemonic, a tab opens no column
            for (wchar_t c : item->Caption)
                shown += c == L'&' ? L"&&" : std::wstring(1, c == L'\t' ? L' ' : c);
            EXPECT_EQ(text, shown) << where;
            EXPECT_EQ((info.fState & MFS_GRAYED) != 0, !HasDocumentBelow(*item->Children)) << where;
            CheckMenu(*item->Children);
        } else {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << where;
        }
    }
}

}  // namespace menutest
