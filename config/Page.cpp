#include "config/Page.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "config/AddSectionDialog.h"
#include "config/ItemList.h"
#include "config/PageCommands.h"
#include "config/PageLayout.h"
#include "config/SectionBox.h"
#include "config/SettingsContext.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

HWND g_hSectionsPage = nullptr;
HWND g_hDocumentsPage = nullptr;

namespace {

constexpr int kButtonIconWidth = 47;   // at 96 DPI
constexpr int kButtonIconHeight = 22;

// A page's button and its icon.
struct PageButton {
    int control;
    int icon;
};

// What makes a page: its list and what the list shows, its buttons in their top-to-bottom order, its refusal, where
// its handle is kept, the page it refreshes after a change, and whether a section box chooses its level. A list of
// documents only moves a document by swapping it with its neighbouring document; a list of a whole level moves the
// entry itself.
struct PageKind {
    int list;
    const wchar_t* column;
    bool documentsOnly;
    const PageButton* buttons;
    size_t buttonCount;
    const wchar_t* refusal;
    HWND* handle;
    void (*refreshOther)();
    bool choosesSection;
};

constexpr PageButton kSectionsButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP},           {IDC_MOVE_DOWN, IDI_BTN_DOWN},         {IDC_ADD_SEPARATOR, IDI_BTN_ADD_SEPARATOR},
    {IDC_ADD_SECTION, IDI_BTN_ADD_SECTION}, {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT}, {IDC_SECTIONS_DELETE, IDI_BTN_DELETE},
};
constexpr PageButton kDocumentsButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP}, {IDC_MOVE_DOWN, IDI_BTN_DOWN}, {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT},
    {IDC_DOCUMENTS_DELETE, IDI_BTN_DELETE},
};

const PageKind kSections{IDC_SECTIONS_LIST, L"Items", false, kSectionsButtons, std::size(kSectionsButtons),
                         L"The selected item is not removable item.\nPlease select another item to remove",
                         &g_hSectionsPage, RefreshDocumentsPage, false};
const PageKind kDocuments{IDC_DOCUMENTS_LIST, L"Documents", true, kDocumentsButtons, std::size(kDocumentsButtons),
                          L"You cannot remove selected item", &g_hDocumentsPage, RefreshSectionsPage, true};

// The level that the Documents page shows: 0 for the top level, otherwise a section's id.
int g_currentSection = 0;

const SettingsContext& Settings(HWND page)
{
    return *reinterpret_cast<const SettingsContext*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}
HWND List(HWND page, const PageKind& kind) { return GetDlgItem(page, kind.list); }
int Level(const PageKind& kind) { return kind.choosesSection ? g_currentSection : 0; }

void Refill(HWND page, const PageKind& kind)
{
    FillItemList(List(page, kind), *Settings(page).menu, Level(kind), kind.documentsOnly);
}

// After a change: this page's list and the other page show it, and the tree is stored.
void ShowChange(HWND page, const PageKind& kind)
{
    Refill(page, kind);
    kind.refreshOther();
    Settings(page).StoreTree();
}

int ItemId(HWND list, int index)
{
    LVITEMW record{};
    record.mask = LVIF_PARAM;
    record.iItem = index;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&record));
    return static_cast<int>(record.lParam);
}

// Moves the selected entry one place up (-1) or down (+1) in the list; it stays selected.
void MoveSelected(HWND page, const PageKind& kind, int step)
{
    HWND list = List(page, kind);
    const auto selected = GetSelectedItem(list);
    if (!selected)
        return;
    const int target = selected->index + step;
    if (target < 0 || target >= ListView_GetItemCount(list))
        return;
    CTodayMenu& menu = *Settings(page).menu;
    if (kind.documentsOnly)
        menu.SwapDocuments(selected->id, ItemId(list, target));
    else
        menu.MoveEntry(selected->id, target);   // the list shows the whole level: its index is the entry's place
    Refill(page, kind);
    SetFocus(list);
    SelectListItem(list, target, 0xFF);
    kind.refreshOther();
    Settings(page).StoreTree();
}

void OnAddSeparator(HWND page, const PageKind& kind)
{
    Settings(page).menu->AppendSeparator(Level(kind));
    // The Documents page shows no separators: it is not refreshed.
    Refill(page, kind);
    Settings(page).StoreTree();
}

BOOL OnSectionChosen(HWND page, const PageKind& kind)
{
    HWND box = GetDlgItem(page, IDC_SECTION_BOX);
    const LRESULT chosen = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR)
        return FALSE;
    g_currentSection = static_cast<int>(SendMessageW(box, CB_GETITEMDATA, chosen, 0));
    Refill(page, kind);
    return TRUE;
}

bool HasButton(const PageKind& kind, int control)
{
    return std::any_of(kind.buttons, kind.buttons + kind.buttonCount,
                       [control](const PageButton& button) { return button.control == control; });
}

BOOL OnCommand(HWND page, const PageKind& kind, int control, int code)
{
    if (kind.choosesSection && control == IDC_SECTION_BOX)
        return code == CBN_SELCHANGE ? OnSectionChosen(page, kind) : FALSE;
    if (control == IDOK) {
        SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0);
        return TRUE;
    }
    if (!HasButton(kind, control))
        return FALSE;
    const SettingsContext& settings = Settings(page);
    switch (control) {
    case IDC_MOVE_UP: MoveSelected(page, kind, -1); break;
    case IDC_MOVE_DOWN: MoveSelected(page, kind, +1); break;
    case IDC_ADD_SEPARATOR: OnAddSeparator(page, kind); break;
    case IDC_ADD_SECTION:
        if (RunAddSectionDialog(page, settings) == ADD_SECTION_ADDED)
            ShowChange(page, kind);
        break;
    case IDC_ADD_DOCUMENT:
        if (AddChosenDocument(page, settings, Level(kind)))
            ShowChange(page, kind);
        break;
    default:   // the page's Delete button
        if (DeleteSelectedEntry(page, List(page, kind), kind.refusal, settings))
            ShowChange(page, kind);
        break;
    }
    return TRUE;
}

void Layout(HWND page, const PageKind& kind)
{
    const int edge = platform::Scaled(5);
    int top = edge;
    if (kind.choosesSection) {
        HWND label = GetDlgItem(page, IDC_SECTION_LABEL), box = GetDlgItem(page, IDC_SECTION_BOX);
        const PageRect closed = GetChildRect(page, box), labelRect = GetChildRect(page, label);
        MoveWindow(label, edge, edge, labelRect.width, labelRect.height, TRUE);
        PlaceSectionBox(box, labelRect.width + 2 * edge, closed);
        top = closed.height + 2 * edge;
    }
    // The images of a list made at another density are made again at this one.
    if (MatchImagesToScreen(List(page, kind)))
        Refill(page, kind);
    std::vector<HWND> buttons;
    for (size_t i = 0; i < kind.buttonCount; ++i)
        buttons.push_back(GetDlgItem(page, kind.buttons[i].control));
    LayoutPage(page, List(page, kind), buttons, top);
}

BOOL OnInitDialog(HWND page, const PageKind& kind, LPARAM settings)
{
    SetWindowLongPtrW(page, GWLP_USERDATA, settings);
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    HWND list = List(page, kind);
    PrepareItemList(list, kind.column);
    if (kind.choosesSection) {
        PaintSectionLabel(GetDlgItem(page, IDC_SECTION_LABEL));
        FillSectionBox(GetDlgItem(page, IDC_SECTION_BOX), *Settings(page).menu);
        g_currentSection = 0;
    }
    Refill(page, kind);
    SelectListItem(list, 0, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    Layout(page, kind);
    return FALSE;   // the focus is set
}

BOOL OnDrawItem(const PageKind& kind, const DRAWITEMSTRUCT* record)
{
    for (size_t i = 0; i < kind.buttonCount; ++i)
        if (static_cast<int>(record->CtlID) == kind.buttons[i].control)
            return DrawIconButton(record, kind.buttons[i].icon);
    return FALSE;
}

INT_PTR PageProc(const PageKind& kind, HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, kind, lParam);
    case WM_DRAWITEM: return OnDrawItem(kind, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(page, kind, LOWORD(wParam), HIWORD(wParam));
    // The pages show the window colour, on which their buttons and label are drawn.
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_DESTROY:
        if (*kind.handle == page)
            *kind.handle = nullptr;
        return FALSE;
    }
    return FALSE;
}

void PaintButtonFace(HINSTANCE instance, HDC dc, int width, int height, int iconId)
{
    handles::unique_hpen pen(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_WINDOW)));
    handles::select_object selectPen(dc, pen.get());
    handles::select_object selectBrush(dc, platform::SysColorBrush(COLOR_WINDOW));
    Rectangle(dc, 0, 0, width, height);
    const int iconWidth = platform::Scaled(kButtonIconWidth), iconHeight = platform::Scaled(kButtonIconHeight);
    handles::unique_hicon icon(platform::LoadIconAtSize(instance, iconId, iconWidth, iconHeight));
    if (icon)
        DrawIconEx(dc, (width - iconWidth) / 2, (height - iconHeight) / 2, icon.get(), iconWidth, iconHeight, 0, nullptr,
                   DI_NORMAL);
}

}  // namespace

INT_PTR CALLBACK SectionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProc(kSections, page, message, wParam, lParam);
}

INT_PTR CALLBACK DocumentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PageProc(kDocuments, page, message, wParam, lParam);
}

void LayoutSectionsPage(HWND page) { Layout(page, kSections); }

void LayoutDocumentsPage(HWND page) { Layout(page, kDocuments); }

void RefreshSectionsPage()
{
    if (g_hSectionsPage)
        Refill(g_hSectionsPage, kSections);
}

void RefreshDocumentsPage()
{
    if (!g_hDocumentsPage)
        return;
    FillSectionBox(GetDlgItem(g_hDocumentsPage, IDC_SECTION_BOX), *Settings(g_hDocumentsPage).menu);
    g_currentSection = 0;
    Refill(g_hDocumentsPage, kDocuments);
}

int CurrentDocumentsSection() { return g_currentSection; }

BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId)
{
    const RECT& item = record->rcItem;
    const int width = item.right - item.left;
    const int height = item.bottom - item.top;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(record->hwndItem, GWLP_HINSTANCE));
    handles::unique_hdc memory(CreateCompatibleDC(record->hDC));
    handles::unique_hbitmap face(CreateCompatibleBitmap(record->hDC, width, height));
    if (memory && face) {
        handles::select_object selected(memory.get(), face.get());
        PaintButtonFace(instance, memory.get(), width, height, iconId);
        BitBlt(record->hDC, item.left, item.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    if (record->itemState & ODS_SELECTED) {
        RECT pressed = item;
        InvertRect(record->hDC, &pressed);
    }
    return TRUE;
}
