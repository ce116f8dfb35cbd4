#include "config/DocumentsPage.h"

#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "config/PageOps.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

constexpr PageButton kButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP},
    {IDC_MOVE_DOWN, IDI_BTN_DOWN},
    {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT},
    {IDC_DOCUMENTS_DELETE, IDI_BTN_DELETE},
};

const wchar_t kNotRemovable[] = L"You cannot remove selected item";
const wchar_t kLabelText[] = L"Section:";
// Entries of the section box that its drop-down list shows without scrolling.
constexpr int kDropDownEntries = 8;

// The list whose documents the page shows: 0 for the top level, else a section's id.
int g_currentSection = 0;

HWND List(HWND page) { return GetDlgItem(page, IDC_DOCUMENTS_LIST); }
HWND SectionBox(HWND page) { return GetDlgItem(page, IDC_SECTION_BOX); }

void Refill(HWND page) { FillItemList(List(page), g_currentSection, true); }

void AddBoxEntry(HWND box, const std::wstring& text, int id)
{
    const LRESULT index = SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0)
        SendMessageW(box, CB_SETITEMDATA, index, id);
}

// Every section below the list, in pre-order: a section before the sections inside it.
void AddSections(HWND box, const CItemVector& list)
{
    for (const CItem* item : list.Items) {
        if (item->Type != ITEM_SECTION)
            continue;
        AddBoxEntry(box, item->Caption, item->ID);
        if (item->Children)
            AddSections(box, *item->Children);
    }
}

void FillSectionBox(HWND box)
{
    AddBoxEntry(box, L"General", 0);
    AddSections(box, g_TodayMenu.Root);
}

// Bold "Section:" in the label's own font, against its right edge, on the window colour.
void DrawSectionLabel(HWND label, HDC dc)
{
    handles::select_object labelFont(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    LOGFONTW bold{};
    GetTextFaceW(dc, LF_FACESIZE, bold.lfFaceName);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    bold.lfHeight = metrics.tmHeight;
    bold.lfWeight = FW_BOLD;
    handles::unique_hfont font(CreateFontIndirectW(&bold));
    handles::select_object boldFont(dc, font.get());
    RECT area{};
    GetClientRect(label, &area);
    FillRect(dc, &area, platform::SysColorBrush(COLOR_WINDOW));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, kLabelText, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

// The label paints itself, so that its text survives a repaint of the label alone (a closing
// drop-down list, a window passing over it).
void PaintSectionLabel(HWND label)
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(label, &paint);
    DrawSectionLabel(label, dc);
    EndPaint(label, &paint);
}

LRESULT CALLBACK SectionLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT) {
        PaintSectionLabel(label);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(label, SectionLabelProc, 0);
    return DefSubclassProc(label, message, wParam, lParam);
}

BOOL OnInitDialog(HWND page)
{
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    SetWindowSubclass(GetDlgItem(page, IDC_SECTION_LABEL), SectionLabelProc, 0, 0);
    HWND list = List(page);
    PrepareItemList(list, L"Documents");
    FillSectionBox(SectionBox(page));
    SendMessageW(SectionBox(page), CB_SETCURSEL, 0, 0);
    g_currentSection = 0;
    Refill(page);
    SelectListItem(list, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    LayoutDocumentsPage(page);
    return FALSE;   // the focus is set
}

BOOL OnSectionChosen(HWND page)
{
    const LRESULT chosen = SendMessageW(SectionBox(page), CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR)
        return FALSE;
    g_currentSection = static_cast<int>(SendMessageW(SectionBox(page), CB_GETITEMDATA, chosen, 0));
    Refill(page);
    return TRUE;
}

// Swaps the selected document with the document shown above (-1) or below (+1) it.
void SwapSelected(HWND page, int step)
{
    HWND list = List(page);
    const auto selected = GetSelectedItem(list);
    if (!selected)
        return;
    const int neighbour = selected->index + step;
    if (neighbour < 0 || neighbour >= ListView_GetItemCount(list))
        return;
    LVITEMW record{};
    record.mask = LVIF_PARAM;
    record.iItem = neighbour;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    g_TodayMenu.SwapDocuments(selected->id, static_cast<int>(record.lParam));
    Refill(page);
    SetFocus(list);
    SelectListItem(list, neighbour, 0xFF);
    RefreshSectionsPage();
    StoreTree();
}

// After a change: this page's list and the Sections page show it, and the tree is stored.
void ShowChange(HWND page)
{
    Refill(page);
    RefreshSectionsPage();
    StoreTree();
}

void OnAddDocument(HWND page)
{
    if (AddChosenDocument(page, g_currentSection))
        ShowChange(page);
}

void OnDelete(HWND page)
{
    if (DeleteSelectedEntry(page, List(page), kNotRemovable))
        ShowChange(page);
}

BOOL OnCommand(HWND page, int control, int code)
{
    switch (control) {
    case IDC_SECTION_BOX: return code == CBN_SELCHANGE ? OnSectionChosen(page) : FALSE;
    case IDC_MOVE_UP: SwapSelected(page, -1); return TRUE;
    case IDC_MOVE_DOWN: SwapSelected(page, +1); return TRUE;
    case IDC_ADD_DOCUMENT: OnAddDocument(page); return TRUE;
    case IDC_DOCUMENTS_DELETE: OnDelete(page); return TRUE;
    case IDOK: SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0); return TRUE;
    }
    return FALSE;
}

void OnDestroy(HWND page)
{
    if (g_hDocumentsPage == page)
        g_hDocumentsPage = nullptr;
}

// The section box keeps its closed height for the layout; its window also holds the room that its
// drop-down list opens into.
void PlaceSectionBox(HWND box, int x, const PageRect& closed)
{
    const int entryHeight = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
    const int dropDown = entryHeight > 0 ? entryHeight * kDropDownEntries + 2 : 0;
    MoveWindow(box, x, 5, closed.width, closed.height + dropDown, TRUE);
}

}  // namespace

void LayoutDocumentsPage(HWND page)
{
    HWND label = GetDlgItem(page, IDC_SECTION_LABEL);
    const PageRect box = GetChildRect(page, SectionBox(page));
    const PageRect labelRect = GetChildRect(page, label);
    MoveWindow(label, 5, 5, labelRect.width, labelRect.height, TRUE);
    PlaceSectionBox(SectionBox(page), labelRect.width + 10, box);

    const std::vector<HWND> buttons = PageButtonWindows(page, kButtons, std::size(kButtons));
    LayoutPage(page, List(page), buttons, box.height + 10);
}

void RefreshDocumentsPage()
{
    HWND page = g_hDocumentsPage;
    if (!page)
        return;
    HWND box = SectionBox(page);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    FillSectionBox(box);
    SendMessageW(box, CB_SETCURSEL, 0, 0);
    g_currentSection = 0;
    FillItemList(List(page), 0, true);
}

int CurrentDocumentsSection() { return g_currentSection; }

INT_PTR CALLBACK DocumentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_DRAWITEM:
        return DrawPageButton(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), kButtons, std::size(kButtons));
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORDLG: return PageBackground();
    case WM_DESTROY: OnDestroy(page); return FALSE;
    }
    return FALSE;
}
