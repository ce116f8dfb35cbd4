#pragma once
// Trees as text ("D5:C:\a.txt" document 5, "S6:Work[...]" section, "-4" separator; Build() without ids); CheckMenu.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "menu/TodayMenu.h"

namespace menutest {

inline std::wstring Describe(const CItemVector& top, bool withIds = true)
{
    // The lists on the way down are a work list: a tree of any depth is described.
    std::wstring text;
    for (std::vector<std::pair<const CItemVector*, size_t>> lists{{&top, 0}}; !lists.empty();) {
        auto& [list, next] = lists.back();
        if (next == list->Items.size()) {
            lists.pop_back();
            text += lists.empty() ? L"" : L"]";
            continue;
        }
        const CItem* item = list->Items[next++].get();
        const std::wstring id = withIds ? std::to_wstring(item->ID) : L"", space = next > 1 ? L" " : L"";
        text += space + (item->Type == ITEM_DOCUMENT ? L"D" + id + L":" + item->Path
                         : item->IsSection()         ? L"S" + id + L":" + item->Caption + L"["
                                                     : (item->Type == ITEM_SEPARATOR ? L"-" : L"?") + id);
        if (item->IsSection())
            lists.push_back({item->Children.get(), 0});
    }
    return text;
}

// Appends the entries of the text form, each with a fresh id, to a list of the menu (0: the top level).
inline void Build(CTodayMenu& menu, const std::wstring& text, int section = 0, size_t* at = nullptr)
{
    size_t start = 0, &i = at ? *at : start;
    while (i < text.size() && text[i] != L']') {
        const size_t end = std::min(text.find_first_of(L" []", i), text.size());
        const std::wstring token = text.substr(i, end - i);
        i = end;
        const int added = token[0] == L'D'   ? menu.AppendDocument(token.substr(2), section)
                          : token[0] == L'S' ? menu.AppendSection(token.substr(2), section)
                                             : menu.AppendSeparator(section);
        if (i < text.size() && text[i] == L'[')
            Build(menu, text, added, &++i), ++i;   // the section's entries, then its "]"
        while (i < text.size() && text[i] == L' ')
            ++i;
    }
}

inline void Reset(CTodayMenu& menu) { while (!menu.Root.Items.empty()) menu.RemoveEntry(menu.Root.Items.back()->ID); }

// The four built-in entries, as the first start makes them.
inline void BuildDefaults(CTodayMenu& menu)
{
    menu.AppendDocumentWithID(L"\\My Documents", ID_MY_DOCUMENTS, 0);
    menu.AppendSeparatorWithID(ID_FIRST_SEPARATOR, 0);
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    menu.AppendDocumentWithID(L"Exit", ID_EXIT, 0);
}

// Every list of the tree from top down, read level by level: a tree of any depth.
inline std::vector<const CItemVector*> Lists(const CItemVector& top)
{
    std::vector<const CItemVector*> lists{&top};
    for (size_t i = 0; i < lists.size(); ++i)
        for (const auto& item : lists[i]->Items)
            if (item->IsSection())
                lists.push_back(item->Children.get());
    return lists;
}

inline bool HasDocumentBelow(const CItemVector& top)
{
    const std::vector<const CItemVector*> lists = Lists(top);
    return std::any_of(lists.begin(), lists.end(), [](const CItemVector* list) {
        return std::any_of(list->Items.begin(), list->Items.end(), [](const auto& item) { return item->Type == ITEM_DOCUMENT; });
    });
}

// The list's menu mirrors the list: entries in order, ids, titles, sections grayed exactly while no document below.
inline void CheckMenuLevel(const CItemVector& list)
{
    ASSERT_EQ(GetMenuItemCount(list.Menu.get()), static_cast<int>(list.Items.size())) << Describe(list);
    for (UINT i = 0; i < list.Items.size(); ++i) {
        const CItem* item = list.Items[i].get();
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE};
        std::wstring text(GetMenuStringW(list.Menu.get(), i, nullptr, 0, MF_BYPOSITION) + 1, L'\0');
        text.resize(GetMenuStringW(list.Menu.get(), i, text.data(), static_cast<int>(text.size()), MF_BYPOSITION));
        ASSERT_TRUE(GetMenuItemInfoW(list.Menu.get(), i, TRUE, &info)) << i;
        const auto where = [&] { return L"item " + std::to_wstring(i) + L" of " + Describe(list); };
        if (item->Type == ITEM_DOCUMENT) {
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW && info.wID == UINT(item->ID) && info.dwItemData == ULONG_PTR(item)) << where();
        } else if (item->IsSection()) {
            ASSERT_EQ(info.hSubMenu, item->Children->Menu.get()) << where();
            std::wstring shown;   // the title as typed: "&" marks no mnemonic, a tab opens no column
            for (wchar_t c : item->Caption)
                shown += c == L'&' ? L"&&" : std::wstring(1, c == L'\t' ? L' ' : c);
            EXPECT_EQ(text + (info.fState & MFS_GRAYED ? L" grayed" : L""),
                      shown + (HasDocumentBelow(*item->Children) ? L"" : L" grayed")) << where();
        } else {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << where();
        }
    }
}

// The list's menu and those below mirror the tree, however deep.
inline void CheckMenu(const CItemVector& top)
{
    for (const CItemVector* list : Lists(top))
        CheckMenuLevel(*list);
}

}  // namespace menutest
