#include "config/Page.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "config/ItemList.h"
#include "config/PageCommands.h"
#include "config/PageLayout.h"
#include "config/SectionBox.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/ContrastIcons.h"
#include "platform/Handles.h"
#include "platform/ListInput.h"
#include "platform/Shell.h"
#include "platform/Theme.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

constexpr int kButtonIconWidth = 47;   // at 96 DPI
constexpr int kButtonIconHeight = 22;

// A page's button and its icon.
struct PageButton {
    int control;
    int icon;
};

// What makes a page: its tab, its list and the list's column, its buttons in their top-to-bottom order, and its
// refusal. The Documents page also chooses its level in a section box.
struct PageKind {
    SettingsTab tab;
    int list;
    const wchar_t* column;
    const PageButton* buttons;
    size_t buttonCount;
    const wchar_t* refusal;
};

constexpr PageButton kSectionsButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP},           {IDC_MOVE_DOWN, IDI_BTN_DOWN},         {IDC_ADD_SEPARATOR, IDI_BTN_ADD_SEPARATOR},
    {IDC_ADD_SECTION, IDI_BTN_ADD_SECTION}, {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT}, {IDC_SECTIONS_DELETE, IDI_BTN_DELETE},
};
constexpr PageButton kDocumentsButtons[] = {
    {IDC_MOVE_UP, IDI_BTN_UP}, {IDC_MOVE_DOWN, IDI_BTN_DOWN}, {IDC_ADD_DOCUMENT, IDI_BTN_ADD_DOCUMENT},
    {IDC_DOCUMENTS_DELETE, IDI_BTN_DELETE},
};

const PageKind kSections{kSectionsTab, IDC_SECTIONS_LIST, L"Items", kSectionsButtons, std::size(kSectionsButtons),
                         L"The selected item is not removable item.\nPlease select another item to remove"};
const PageKind kDocuments{kDocumentsTab, IDC_DOCUMENTS_LIST, L"Documents", kDocumentsButtons,
                          std::size(kDocumentsButtons), L"You cannot remove selected item"};

HWND List(HWND page, const PageKind& kind) { return GetDlgItem(page, kind.list); }
bool ChoosesSection(const PageKind& kind) { return kind.tab == kDocumentsTab; }
CSettingsState& State(HWND page) { return CSettingsState::Of(page); }
const CTodayMenu& Menu(HWND page) { return *State(page).settings.menu; }

bool HasButton(const PageKind& kind, int control)
{
    return std::any_of(kind.buttons, kind.buttons + kind.buttonCount,
                       [control](const PageButton& button) { return button.control == control; });
}

// The list index that the selected entry reaches by one press of Up (-1) or Down (+1); nothing when it cannot move.
std::optional<int> StepTarget(HWND list, int step)
{
    const auto selected = GetSelectedItem(list);
    const int target = selected ? selected->index + step : -1;
    if (target < 0 || target >= ListView_GetItemCount(list))
        return std::nullopt;
    return target;
}

// Moves the selected entry one place up (-1) or down (+1) in the list; it stays selected.
void MoveSelected(HWND page, const PageKind& kind, int step)
{
    if (const auto target = StepTarget(List(page, kind), step))
        CTreeEditor(State(page)).Move(kind.tab, *target - step, *target);
}

const CItem* SelectedEntry(HWND page, const PageKind& kind)
{
    const auto selected = GetSelectedItem(List(page, kind));
    return selected ? Menu(page).Root.FindItem(selected->id) : nullptr;
}

int DeleteButton(const PageKind& kind)
{
    return HasButton(kind, IDC_SECTIONS_DELETE) ? IDC_SECTIONS_DELETE : IDC_DOCUMENTS_DELETE;
}

// The list's context menu at a point of the screen, (-1, -1) from the keyboard: each command enabled where the
// page's rules let it act on the selected entry. A command chosen comes back as the page's WM_COMMAND.
void ShowListMenu(HWND page, const PageKind& kind, POINT at)
{
    HWND list = List(page, kind);
    const CItem* entry = SelectedEntry(page, kind);
    const struct {
        int command;
        const wchar_t* text;
        bool enabled;
    } commands[] = {
        {IDC_ADD_FOLDER, L"Add Folder...", true},
        {IDC_RENAME, L"Rename", entry && IsRenamable(*entry)},
        {IDC_MOVE_UP, L"Move Up", StepTarget(list, -1).has_value()},
        {IDC_MOVE_DOWN, L"Move Down", StepTarget(list, +1).has_value()},
        {DeleteButton(kind), L"Delete", entry && IsRemovable(*entry)},
    };
    handles::unique_hmenu menu(CreatePopupMenu());
    for (const auto& command : commands)
        AppendMenuW(menu.get(), MF_STRING | (command.enabled ? MF_ENABLED : MF_GRAYED), command.command, command.text);
    // A folder of the user's may show its contents as a live sub-menu instead: a mark that is on or off, grayed while
    // the disk has not said whether the path is a folder.
    const std::optional<bool> contents = entry ? CanShowContents(Menu(page), entry->ID) : false;
    if (!contents || *contents)
        AppendMenuW(menu.get(), MF_STRING | (entry->ShowContents ? MF_CHECKED : MF_UNCHECKED) | (contents ? 0 : MF_GRAYED),
                    IDC_SHOW_CONTENTS, L"Show Contents as Sub-menu");
    AppendMenuW(menu.get(), MF_STRING | (entry && HasProperties(*entry) ? MF_ENABLED : MF_GRAYED), IDC_PROPERTIES,
                L"Properties...");
    if (at.x == -1 && at.y == -1) {
        // Below the selected item, or at the list's corner.
        const auto selected = GetSelectedItem(list);
        RECT item{};
        if (!selected || !ListView_GetItemRect(list, selected->index, &item, LVIR_LABEL))
            item = {};
        at = {item.left, item.bottom};
        ClientToScreen(list, &at);
    }
    TrackPopupMenuEx(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, page, nullptr);
}

void OnRename(HWND page, const PageKind& kind)
{
    HWND list = List(page, kind);
    if (const auto selected = GetSelectedItem(list)) {
        SetFocus(list);
        ListView_EditLabel(list, selected->index);
    }
}

// Label editing begins only on an entry that can be renamed, and takes no more than a list shows.
BOOL OnBeginRename(HWND page, const PageKind& kind, const NMLVDISPINFOW* info)
{
    HWND list = List(page, kind);
    const CItem* entry = Menu(page).Root.FindItem(ListItemId(list, info->item.iItem));
    const bool refused = !entry || !IsRenamable(*entry);
    if (!refused)
        SendMessageW(ListView_GetEditControl(list), EM_LIMITTEXT, kListTextCapacity - 1, 0);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, refused);
    return TRUE;
}

// The typed name, or nothing when the editing was cancelled. Some list views report an emptied or an unchanged label as
// no text, as they do a cancel: an empty edit box that was not left with Escape is an empty name.
std::optional<std::wstring> TypedName(HWND list, const NMLVDISPINFOW* info)
{
    if (info->item.pszText)
        return std::wstring(info->item.pszText);
    HWND edit = ListView_GetEditControl(list);
    if (edit && GetWindowTextLengthW(edit) == 0 && GetKeyState(VK_ESCAPE) >= 0)
        return std::wstring();
    return std::nullopt;
}

// The list never keeps the typed text itself: it is filled again from the renamed entry.
BOOL OnEndRename(HWND page, const PageKind& kind, const NMLVDISPINFOW* info)
{
    if (const auto name = TypedName(List(page, kind), info))
        CTreeEditor(State(page)).Rename(kind.tab, info->item.iItem, *name);
    SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
    return TRUE;
}

BOOL OnCommand(HWND page, const PageKind& kind, int control, int code);

// The list's keys reach what its context menu and its page's buttons reach: F2 renames, Delete deletes, Alt+Up and
// Alt+Down move the selected entry.
BOOL OnListKey(HWND page, const PageKind& kind, const NMLVKEYDOWN* key)
{
    const bool alt = GetKeyState(VK_MENU) < 0;
    switch (key->wVKey) {
    case VK_F2: return OnCommand(page, kind, IDC_RENAME, 0);
    case VK_DELETE: return OnCommand(page, kind, DeleteButton(kind), 0);
    case VK_UP: return alt && OnCommand(page, kind, IDC_MOVE_UP, 0);
    case VK_DOWN: return alt && OnCommand(page, kind, IDC_MOVE_DOWN, 0);
    }
    return FALSE;
}

BOOL OnNotify(HWND page, const PageKind& kind, const NMHDR* header)
{
    if (header->idFrom != static_cast<UINT_PTR>(kind.list))
        return FALSE;
    switch (header->code) {
    case LVN_KEYDOWN: return OnListKey(page, kind, reinterpret_cast<const NMLVKEYDOWN*>(header));
    case LVN_BEGINDRAG:
        State(page).drag.Begin(page, List(page, kind), reinterpret_cast<const NMLISTVIEW*>(header)->iItem);
        return TRUE;
    case LVN_BEGINLABELEDITW: return OnBeginRename(page, kind, reinterpret_cast<const NMLVDISPINFOW*>(header));
    case LVN_ENDLABELEDITW: return OnEndRename(page, kind, reinterpret_cast<const NMLVDISPINFOW*>(header));
    }
    return FALSE;
}

BOOL OnDrop(HWND page, const PageKind& kind, POINT at)
{
    if (const auto move = State(page).drag.End(page, at))
        CTreeEditor(State(page)).Move(kind.tab, move->from, move->to);
    return TRUE;
}

BOOL OnSectionChosen(HWND page)
{
    HWND box = GetDlgItem(page, IDC_SECTION_BOX);
    const LRESULT chosen = SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR)
        return FALSE;
    CSettingsState& state = State(page);
    state.section = static_cast<int>(SendMessageW(box, CB_GETITEMDATA, chosen, 0));
    state.FillList(kDocumentsTab);
    return TRUE;
}

// The commands of the buttons and of the list's context menu; each is told to the tree editor.
BOOL OnEditCommand(HWND page, const PageKind& kind, int control)
{
    CTreeEditor editor(State(page));
    switch (control) {
    case IDC_MOVE_UP: MoveSelected(page, kind, -1); break;
    case IDC_MOVE_DOWN: MoveSelected(page, kind, +1); break;
    case IDC_ADD_SEPARATOR: editor.AddSeparator(); break;
    case IDC_ADD_SECTION: editor.AddSection(); break;
    case IDC_ADD_DOCUMENT: editor.AddDocument(kind.tab); break;
    default: editor.DeleteSelected(kind.tab, kind.refusal); break;   // the page's Delete button
    }
    return TRUE;
}

BOOL OnCommand(HWND page, const PageKind& kind, int control, int code)
{
    if (ChoosesSection(kind) && control == IDC_SECTION_BOX)
        return code == CBN_SELCHANGE ? OnSectionChosen(page) : FALSE;
    switch (control) {
    case IDOK: SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0); return TRUE;
    case IDC_ADD_FOLDER: CTreeEditor(State(page)).AddFolder(kind.tab); return TRUE;
    case IDC_RENAME: OnRename(page, kind); return TRUE;
    case IDC_SHOW_CONTENTS: CTreeEditor(State(page)).ToggleShowContents(kind.tab); return TRUE;
    case IDC_PROPERTIES: CTreeEditor(State(page)).EditProperties(kind.tab); return TRUE;
    }
    return HasButton(kind, control) && OnEditCommand(page, kind, control);
}

void Layout(HWND page, const PageKind& kind)
{
    const int edge = platform::ScaledFor(page, 5);
    int top = edge;
    if (ChoosesSection(kind)) {
        HWND label = GetDlgItem(page, IDC_SECTION_LABEL), box = GetDlgItem(page, IDC_SECTION_BOX);
        const PageRect closed = GetChildRect(page, box), labelRect = GetChildRect(page, label);
        MoveWindow(label, edge, edge, labelRect.width, labelRect.height, TRUE);
        PlaceSectionBox(box, labelRect.width + 2 * edge, closed);
        top = closed.height + 2 * edge;
    }
    // The images of a list made at another density are made again at this one.
    if (MatchImagesToScreen(List(page, kind)))
        State(page).FillList(kind.tab);
    std::vector<HWND> buttons;
    for (size_t i = 0; i < kind.buttonCount; ++i)
        buttons.push_back(GetDlgItem(page, kind.buttons[i].control));
    LayoutPage(page, List(page, kind), buttons, top);
}

// Each icon button's text names it for screen readers; a tooltip shows the same name. The tooltip window goes with the
// settings window, which owns it.
void AddButtonTips(HWND page, const PageKind& kind)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(page, GWLP_HINSTANCE));
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, instance, nullptr);
    for (size_t i = 0; tips && i < kind.buttonCount; ++i) {
        HWND button = GetDlgItem(page, kind.buttons[i].control);
        std::wstring name(GetWindowTextLengthW(button) + 1, L'\0');
        name.resize(GetWindowTextW(button, name.data(), static_cast<int>(name.size())));
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.hwnd = page;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = name.data();
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

BOOL OnInitDialog(HWND page, const PageKind& kind)
{
    CSettingsState& state = State(page);
    state.pages[kind.tab] = page;
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    HWND list = List(page, kind);
    PrepareItemList(list, kind.column);
    SetWindowLongPtrW(list, GWL_STYLE, GetWindowLongPtrW(list, GWL_STYLE) | LVS_EDITLABELS);
    platform::NotifyAltArrows(list);
    AddButtonTips(page, kind);
    if (ChoosesSection(kind)) {
        PaintSectionLabel(GetDlgItem(page, IDC_SECTION_LABEL));
        state.boxSections = FillSectionBox(GetDlgItem(page, IDC_SECTION_BOX), *state.settings.menu);
        state.section = 0;
    }
    state.FillList(kind.tab);
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
    HWND control = nullptr;
    POINT at{};
    if (platform::IsContextMenuRequest(message, wParam, lParam, &control, &at)) {
        if (control != List(page, kind))
            return FALSE;
        ShowListMenu(page, kind, at);
        return TRUE;
    }
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_NOTIFY: return OnNotify(page, kind, reinterpret_cast<const NMHDR*>(lParam));
    case WM_MOUSEMOVE: State(page).drag.Track(page, point); return State(page).drag.IsDragging(page);
    case WM_LBUTTONUP: return State(page).drag.IsDragging(page) && OnDrop(page, kind, point);
    case WM_CAPTURECHANGED: State(page).drag.Cancel(page); return FALSE;
    case WM_INITDIALOG: return OnInitDialog(page, kind);
    case WM_DRAWITEM: return OnDrawItem(kind, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(page, kind, LOWORD(wParam), HIWORD(wParam));
    // The pages show the window colour, on which their buttons and label are drawn.
    case WM_CTLCOLORDLG:
        if (const INT_PTR dark = platform::DarkControlColours(page, message, wParam))
            return dark;
        return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: return platform::DarkControlColours(page, message, wParam);
    case WM_DESTROY: State(page).drag.Cancel(page); return FALSE;
    }
    return FALSE;
}

// The colours of a button's face and, in a high-contrast scheme or the dark look, of its icon drawn in one colour (not
// inked: in its own).
struct ButtonColours {
    COLORREF face;
    bool inked;
    COLORREF ink;
};

// The window colour and the icon's own; in a high-contrast scheme the scheme's button colours, swapped while pressed;
// in the dark look the dark window colour with the icon outlined in its text colour, on the highlight while pressed.
ButtonColours ColoursOf(const DRAWITEMSTRUCT* record)
{
    const bool pressed = record->itemState & ODS_SELECTED;
    if (platform::HighContrast())
        return pressed ? ButtonColours{GetSysColor(COLOR_BTNTEXT), true, GetSysColor(COLOR_BTNFACE)}
                       : ButtonColours{GetSysColor(COLOR_BTNFACE), true, GetSysColor(COLOR_BTNTEXT)};
    if (const platform::CTheme* theme = platform::ThemeOf(record->hwndItem); theme && theme->Dark()) {
        const platform::Palette& p = theme->Colours();
        return pressed ? ButtonColours{p.highlight, true, p.highlightText} : ButtonColours{p.window, true, p.windowText};
    }
    return {GetSysColor(COLOR_WINDOW), false, 0};
}

void PaintButtonFace(HWND button, HDC dc, int width, int height, int iconId, ButtonColours colours)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(button, GWLP_HINSTANCE));
    handles::unique_hpen pen(CreatePen(PS_SOLID, 0, colours.face));
    handles::select_object selectPen(dc, pen.get());
    SetDCBrushColor(dc, colours.face);
    handles::select_object selectBrush(dc, GetStockObject(DC_BRUSH));
    Rectangle(dc, 0, 0, width, height);
    const int iconWidth = platform::ScaledFor(button, kButtonIconWidth);
    const int iconHeight = platform::ScaledFor(button, kButtonIconHeight);
    handles::unique_hicon icon(platform::LoadIconAtSize(instance, iconId, iconWidth, iconHeight));
    const int x = (width - iconWidth) / 2, y = (height - iconHeight) / 2;
    if (icon && colours.inked)
        platform::DrawIconInk(dc, x, y, icon.get(), iconWidth, iconHeight, colours.ink);
    else if (icon)
        DrawIconEx(dc, x, y, icon.get(), iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
}

// The focus mark inside the button's edge: the desktop's dotted focus rectangle, or dotted in the ink of a high-contrast
// scheme or the dark look, which stays one of their colours.
void DrawFocusMark(HWND button, HDC dc, RECT area, ButtonColours colours)
{
    const int edge = platform::ScaledFor(button, 2);
    InflateRect(&area, -edge, -edge);
    if (!colours.inked) {
        DrawFocusRect(dc, &area);
        return;
    }
    const LOGBRUSH ink{BS_SOLID, colours.ink, 0};
    handles::unique_hpen pen(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &ink, 0, nullptr));
    handles::select_object selectPen(dc, pen.get());
    handles::select_object selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
}

}  // namespace

void RefreshSectionsPage(CSettingsState& state, const std::set<int>& touched, bool anew)
{
    if (!state.Page(kSectionsTab))
        return;
    // A name being typed there belongs to a row that may go: the typing ends as if cancelled.
    ListView_CancelEditLabel(state.List(kSectionsTab));
    anew ? state.FillList(kSectionsTab) : state.SyncList(kSectionsTab, touched);
}

void RefreshDocumentsPage(CSettingsState& state, const std::set<int>& touched, bool anew)
{
    if (!state.Page(kDocumentsTab))
        return;
    ListView_CancelEditLabel(state.List(kDocumentsTab));
    const HWND box = GetDlgItem(state.Page(kDocumentsTab), IDC_SECTION_BOX);
    if (anew || SectionsOf(*state.settings.menu) != state.boxSections)
        state.boxSections = FillSectionBox(box, *state.settings.menu);
    else
        SendMessageW(box, CB_SETCURSEL, 0, 0);
    const bool wasTop = state.section == 0;
    state.section = 0;
    anew || !wasTop ? state.FillList(kDocumentsTab) : state.SyncList(kDocumentsTab, touched);
}

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

BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId)
{
    const RECT& item = record->rcItem;
    const int width = item.right - item.left;
    const int height = item.bottom - item.top;
    const ButtonColours colours = ColoursOf(record);
    handles::unique_hdc memory(CreateCompatibleDC(record->hDC));
    handles::unique_hbitmap face(CreateCompatibleBitmap(record->hDC, width, height));
    if (memory && face) {
        handles::select_object selected(memory.get(), face.get());
        PaintButtonFace(record->hwndItem, memory.get(), width, height, iconId, colours);
        BitBlt(record->hDC, item.left, item.top, width, height, memory.get(), 0, 0, SRCCOPY);
    }
    if ((record->itemState & ODS_SELECTED) && !colours.inked) {
        RECT pressed = item;
        InvertRect(record->hDC, &pressed);
    }
    if ((record->itemState & ODS_FOCUS) && !(record->itemState & ODS_NOFOCUSRECT))
        DrawFocusMark(record->hwndItem, record->hDC, item, colours);
    return TRUE;
}
