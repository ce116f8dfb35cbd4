#pragma once
// A settings page's list: one level of the entry tree, one item per entry with the entry's id as its data, and the
// rule by which a page finds the entry the user selected.
#include <windows.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

class CTodayMenu;
class CItemVector;

// The list text of an entry whose caption is longer than this is cut to fit (the entry keeps it).
constexpr int kListTextCapacity = 256;

// The level that a page shows: the top level for 0, otherwise the list of the section with that id, or none.
const CItemVector* LevelOf(const CTodayMenu& menu, int sectionId);

// Gives a page's list its full-row selection, its small image list and its one column.
void PrepareItemList(HWND list, const wchar_t* columnTitle);
// Gives the list a new image list when its images are not of the screen's small-icon size; true when it did (the
// list is then to be filled again).
bool MatchImagesToScreen(HWND list);
// The ids of the entries that a list's rows show, in order: what the list was last filled or brought in line with.
using ListRows = std::vector<int>;

// Rebuilds the list's items and images from one level of the tree (0 = the top level), each row's image at its
// entry's index in the level; *rows, when given, takes the rows' ids. Nothing is selected afterwards. A section id
// that names no section leaves the list as it is.
// Its icons come from the program's icon cache (platform/IconCache.h), which the menu uses: the icon of an entry's type
// until the disk has said more.
void FillItemList(HWND list, const CTodayMenu& menu, int sectionId, bool documentsOnly, ListRows* rows = nullptr);
// Brings a list filled from a level in line with that level as it is now, touching only what changed: the rows from
// the first to the last that show another entry than before are made again (an entry that stays keeps its image),
// and the rows of the entries in touched (renamed, given another path or icon) are written again. Nothing is selected
// afterwards, as after a fill. The cost grows with the rows changed, not with the list.
void SyncItemList(HWND list, const CTodayMenu& menu, int sectionId, bool documentsOnly, ListRows& rows,
                  const std::set<int>& touched);
// The own icons of these paths and icon locations (as stored) are known: the list filled from that level shows them.
void RefreshItemImages(HWND list, const CTodayMenu& menu, int sectionId, const ListRows& rows,
                       const std::set<std::wstring>& paths);

// The entry that the user selected in a page's list: its list index and its id (the item data).
struct SelectedItem {
    int index = -1;
    int id = 0;
};
std::optional<SelectedItem> GetSelectedItem(HWND list);
// The id of the entry that the list's item at index shows.
int ListItemId(HWND list, int index);
// Selects and focuses one list item, under the given state mask.
void SelectListItem(HWND list, int index, UINT stateMask);
