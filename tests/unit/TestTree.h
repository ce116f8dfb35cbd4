#pragma once
// Helpers shared by the tests: emptying a popup menu object and building the default tree in it.
#include <windows.h>

#include <string>
#include <vector>

#include "menu/TodayMenu.h"

namespace testtree {

// Removes every entry of the top level, from the menu and from the tree.
inline void Reset(CTodayMenu& menu)
{
    while (!menu.Root.Items.empty())
        menu.RemoveEntry(menu.Root.Items.back()->ID);
}

// The four built-in entries, as the first start makes them.
inline void BuildDefaults(CTodayMenu& menu)
{
    menu.AppendDocumentWithID(L"\\My Documents", 1, 0);
    menu.AppendSeparatorWithID(4, 0);
    menu.AppendDocumentWithID(L"Configuration", 2, 0);
    menu.AppendDocumentWithID(L"Exit", 3, 0);
}

inline std::vector<int> Ids(const CItemVector& list)
{
    std::vector<int> ids;
    for (const CItem* item : list.Items)
        ids.push_back(item->ID);
    return ids;
}

// The command ids of a menu's items (0 for separators, -1 for sub-menus), read from the platform menu.
inline std::vector<int> MenuIds(HMENU menu)
{
    std::vector<int> ids;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        ids.push_back(GetSubMenu(menu, i) ? -1 : static_cast<int>(GetMenuItemID(menu, i)));
    return ids;
}

inline bool IsGrayed(HMENU menu, int pos) { return (GetMenuState(menu, pos, MF_BYPOSITION) & MF_GRAYED) != 0; }

}  // namespace testtree
