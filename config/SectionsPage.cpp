#include "config/SectionsPage.h"

#include <commctrl.h>

#include <iterator>

#include "app/Globals.h"
#include "config/AddSectionDialog.h"
#include "config/DocumentsPage.h"
#include "config/PageOps.h"
#include "menu/TodayMenu.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

constexpr int kTop = 5;

// The buttons in their top-to-bottom order, with their icons.
constexpr PageButton kButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP},
    {IDC_MOVE_DOWN, IDI_BTN_DOWN},
    {IDC_ADD_SEPARATOR, IDI_BTN_ADD_SEPARATOR},
    {IDC_ADD_SECTION, IDI_BTN_ADD_SECTION},
    {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT},
    {IDC_SECTIONS_DELETE, IDI_BTN_DELETE},
};

const wchar_t kNotRemovable[] = L"The selected item is not removable item.\nPlease select another item to remove";

HWND List(HWND page) { return GetDlgItem(page, IDC_SECTIONS_LIST); }

void Refill(HWND page) { FillItemList(List(page), 0, false); }

// After a change: this page's list and the Documents page show it, and the tree is stored.
void ShowChange(HWND page)
{
    Refill(page);
    RefreshDocumentsPage();
    StoreTree();
}

BOOL OnInitDialog(HWND page)
{
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    HWND list = List(page);
    PrepareItemList(list, L"Items");
    Refill(page);
    SelectListItem(list, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    LayoutSectionsPage(page);
    return FALSE;   // the focus is set
}

// Moves the selected entry one place up (-1) or down (+1) in the top level.
void MoveSelected(HWND page, int step)
{
    HWND list = List(page);
    const auto selected = GetSelectedItem(list);
    if (!selected)
        return;
    const int target = selected->index + step;
    if (target < 0 || target >= ListView_GetItemCount(list))
        return;
    g_TodayMenu.MoveEntry(selected->id, target);
    Refill(page);
    SetFocus(list);
    SelectListItem(list, target, 0xFF);
    RefreshDocumentsPage();
    StoreTree();
}

void OnAddSeparator(HWND page)
{
    g_TodayMenu.AppendSeparator(0);
    Refill(page);
    StoreTree();
}

void OnAddSection(HWND page)
{
    if (RunAddSectionDialog(page) == ADD_SECTION_ADDED)
        ShowChange(page);
}

void OnAddDocument(HWND page)
{
    if (AddChosenDocument(page, 0))
        ShowChange(page);
}

void OnDelete(HWND page)
{
    if (DeleteSelectedEntry(page, List(page), kNotRemovable))
        ShowChange(page);
}

BOOL OnCommand(HWND page, int control)
{
    switch (control) {
    case IDC_MOVE_UP: MoveSelected(page, -1); return TRUE;
    case IDC_MOVE_DOWN: MoveSelected(page, +1); return TRUE;
    case IDC_ADD_SEPARATOR: OnAddSeparator(page); return TRUE;
    case IDC_ADD_SECTION: OnAddSection(page); return TRUE;
    case IDC_ADD_DOCUMENT: OnAddDocument(page); return TRUE;
    case IDC_SECTIONS_DELETE: OnDelete(page); return TRUE;
    case IDOK: SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0); return TRUE;
    }
    return FALSE;
}

void OnDestroy(HWND page)
{
    if (g_hSectionsPage == page)
        g_hSectionsPage = nullptr;
}

}  // namespace

void LayoutSectionsPage(HWND page)
{
    const std::vector<HWND> buttons = PageButtonWindows(page, kButtons, std::size(kButtons));
    LayoutPage(page, List(page), buttons, kTop);
}

INT_PTR CALLBACK SectionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_DRAWITEM:
        return DrawPageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), kButtons, std::size(kButtons));
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam));
    case WM_CTLCOLORDLG: return PageBackground();
    case WM_DESTROY: OnDestroy(page); return FALSE;
    }
    return FALSE;
}
