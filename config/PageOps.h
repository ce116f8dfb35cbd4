#pragma once
// What the two pages of the settings window share: their handles, their placement inside the tab
// control, the layout of a list beside a column of buttons, the icon buttons, the filling of a list
// from the entry tree, the file picker and the rule that finds the selected entry.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The pages of the open settings window; null while none is open.
extern HWND g_hSectionsPage;
extern HWND g_hDocumentsPage;

// A rectangle as position and size, in pixels.
struct PageRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Moves the page into the tab control, above its row of tabs; returns where it went.
PageRect PlacePage(HWND tabControl, HWND page);
// The control's rectangle in the page's client coordinates; all zero when it cannot be had.
PageRect GetChildRect(HWND page, HWND control);

// Where a page's list and buttons go (pixels). The buttons are listed in their top-to-bottom order.
struct PageLayout {
    PageRect list;
    std::vector<PageRect> buttons;
};
// The page layout rule for a page of pageWidth x pageHeight whose list and buttons start at top.
PageLayout ComputePageLayout(int pageWidth, int pageHeight, int top, SIZE button, int buttonCount);
// Places the page, then its list and buttons by the layout rule; the list's only column gets the
// list's client width.
void LayoutPage(HWND page, HWND list, const std::vector<HWND>& buttons, int top);

// The brush of a page's background: the window colour, on which its buttons and label are drawn.
INT_PTR PageBackground();

// Paints an owner-drawn page button: the icon centred on the window colour, inverted while pressed.
BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId);

// A page's button and its icon; a page lists its buttons in their top-to-bottom order.
struct PageButton {
    int control;
    int icon;
};
// Draws the page button that a draw request is for; FALSE when it is for no button of the page.
BOOL DrawPageButton(const DRAWITEMSTRUCT* record, const PageButton* buttons, size_t count);
// The windows of a page's buttons, in their order.
std::vector<HWND> PageButtonWindows(HWND page, const PageButton* buttons, size_t count);

// Gives a page's list its full-row selection, its small image list and its one column.
void PrepareItemList(HWND list, const wchar_t* columnTitle);
// Rebuilds the list's items and images from one level of the tree (0 = the top level). Nothing is
// selected afterwards. A section id that names no section leaves the list as it is.
void FillItemList(HWND list, int sectionId, bool documentsOnly);
// Rebuilds the Sections page's list, if that page exists.
void RefreshSectionsPage();

// The entry that the user selected in a page's list: its list index and its id (the item data).
struct SelectedItem {
    int index = -1;
    int id = 0;
};
std::optional<SelectedItem> GetSelectedItem(HWND list);
// Selects and focuses one list item, under the given state mask.
void SelectListItem(HWND list, int index, UINT stateMask);

// The open-file dialog "Add Document"; the full path of the picked file, or nothing on cancel.
std::optional<std::wstring> ChooseDocumentFile(HWND page);

// The commands that both pages offer. Each returns true when it changed the tree; the page then
// rebuilds its lists and stores the tree (StoreTree).
// Appends a document picked in the open-file dialog to a level (0 = the top level).
bool AddChosenDocument(HWND page, int sectionId);
// Removes the entry selected in the page's list; a built-in entry is refused with the message given.
bool DeleteSelectedEntry(HWND page, HWND list, const wchar_t* refusal);
// Stores the whole tree after a change.
void StoreTree();

// The list text of an entry whose caption is longer than this is cut to fit (the entry keeps it).
constexpr int kListTextCapacity = 256;
