#pragma once
// Trees as text ("D5:C:\a.txt{Caption:A}" document 5 with its own values, "S6:Work[...]" section, "-4" separator; Build() without ids); menus as
// they show (Shown); CheckMenu.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "menu/MenuItem.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"

namespace menutest {

// A document's values beside its path, in the store's order.
constexpr const wchar_t* kValueNames[] = {L"Caption", L"Args", L"StartIn", L"Show", L"Verb", L"Icon", L"Launches", L"LastLaunch"};

// A document's own caption and properties as "{Caption:Mine|Args:-a|Show:3}", in the store's order; empty without any.
inline std::wstring Values(const CItem& item, std::wstring text = L"")
{
    const DocumentProperties& p = item.Properties;
    const std::optional<std::wstring> values[] = {item.OwnCaption ? std::optional(item.Caption) : std::nullopt, p.Args, p.StartIn,
                                                  p.Show ? std::optional(std::to_wstring(*p.Show)) : std::nullopt, p.Verb, p.Icon,
                                                  item.Launches ? std::optional(std::to_wstring(*item.Launches)) : std::nullopt,
                                                  item.LastLaunch ? std::optional(std::to_wstring(*item.LastLaunch)) : std::nullopt};
    for (const auto& value : values)
        text += value ? (text.empty() ? L"{" : L"|") + std::wstring(kValueNames[&value - values]) + L":" + *value : L"";
    return text.empty() ? text : text + L"}";
}

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
        text += space + (item->Type == ITEM_DOCUMENT ? L"D" + id + L":" + item->Path + Values(*item)
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

// The name a screen reader reads for an owner-drawn item, from the MSAAMENUINFO its data begins with; "?" without one.
// Read from the data: Wine's oleacc has no menu objects (AccessibleObjectFromWindow on a menu window: E_NOINTERFACE).
inline std::wstring AccessibleName(ULONG_PTR data)
{
    const auto* name = reinterpret_cast<const MSAAMENUINFO*>(data);
    return name && name->dwMSAASignature == MSAA_MENU_SIG ? std::wstring(name->pszWText, name->cchWText) : L"?";
}

// A menu as it shows: each item's caption (an owner-drawn item's name, "!" after it when not its entry's caption),
// "#id" for an entry with an id, "-" for a separator, "~" when grayed, a sub-menu in [].
inline std::wstring Shown(HMENU menu)
{
    std::wstring text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[64] = {};
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING};
        info.dwTypeData = caption, info.cch = 64;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        const CItem* item = EntryOfItemData(info.dwItemData);
        const std::wstring name = item ? AccessibleName(info.dwItemData) + (AccessibleName(info.dwItemData) == item->Caption ? L"" : L"!") : caption;
        const std::wstring shown = name + (item && info.wID ? L"#" + std::to_wstring(info.wID) : L"") +
                                   (info.fState & MFS_GRAYED ? L"~" : L"") + (info.hSubMenu ? L"[" + Shown(info.hSubMenu) + L"]" : L"");
        text += (i ? L"|" : L"") + (info.fType & MFT_SEPARATOR ? L"-" : shown);   // no "~" there: Wine reports separators grayed
    }
    return text;
}

// The list's menu mirrors the list: after its Lead items, one item per entry in order, a document's owner-drawn item with its
// id and entry, a section's sub-menu its list's. What the items show is checked against Shown().
inline void CheckMenuLevel(const CItemVector& list)
{
    ASSERT_EQ(GetMenuItemCount(list.Menu.get()), static_cast<int>(list.Items.size()) + list.Lead) << Describe(list);
    for (UINT i = 0; i < list.Items.size(); ++i) {
        const CItem* item = list.Items[i].get();
        MENUITEMINFOW info{sizeof(info), MIIM_FTYPE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU};
        ASSERT_TRUE(GetMenuItemInfoW(list.Menu.get(), i + list.Lead, TRUE, &info)) << i;
        const auto where = [&] { return L"item " + std::to_wstring(i) + L" of " + Describe(list); };
        if (item->Type == ITEM_DOCUMENT) {
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << where();
            EXPECT_EQ(info.wID, UINT(item->ID)) << where();
            EXPECT_EQ(EntryOfItemData(info.dwItemData), item) << where();
            EXPECT_EQ(AccessibleName(info.dwItemData), item->Caption) << where();
        } else if (item->IsSection()) {
            ASSERT_EQ(info.hSubMenu, item->Children->Menu.get()) << where();
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
