#include "config/SettingsWindow.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <utility>

#include "config/ItemList.h"
#include "config/OptionsPage.h"
#include "config/PageLayout.h"
#include "config/Page.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/TreeEditor.h"
#include "platform/DialogLayout.h"
#include "platform/Handles.h"
#include "platform/ListInput.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"
#include "platform/Worker.h"
#include "res/resource.h"

namespace {

constexpr int kTabControlVersion = 0x20E;

// The pages in the order of their tabs, each with its tab's text, its template, its procedure and its layout.
const struct {
    SettingsTab tab;
    const wchar_t* text;
    int templateId;
    DLGPROC procedure;
    void (*layout)(HWND page);
} kPages[] = {
    {kSectionsTab, L"Sections", IDD_SECTIONS_PAGE, SectionsPageProc, LayoutSectionsPage},
    {kDocumentsTab, L"Documents", IDD_DOCUMENTS_PAGE, DocumentsPageProc, LayoutDocumentsPage},
    {kOptionsTab, L"Options", IDD_OPTIONS_PAGE, OptionsPageProc, LayoutOptionsPage},
};
// The order the pages are made in: each list page gives its list the input, and the Sections page, shown first, is
// made after the Documents page.
constexpr SettingsTab kMakingOrder[] = {kDocumentsTab, kSectionsTab, kOptionsTab};

HWND Tabs(HWND dialog) { return GetDlgItem(dialog, IDC_TABS); }

void FitTabControl(HWND dialog)
{
    RECT client{};
    GetClientRect(dialog, &client);
    MoveWindow(Tabs(dialog), 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
}

void InsertTab(HWND tabs, int index, const wchar_t* text)
{
    std::wstring label = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = label.data();
    SendMessageW(tabs, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

// Each page puts itself into the window's state as it is made.
void MakePage(HWND tabs, HINSTANCE instance, int templateId, DLGPROC procedure, bool shown)
{
    LPCDLGTEMPLATEW pageTemplate = platform::FindDialogTemplate(instance, templateId);
    HWND page = pageTemplate ? CreateDialogIndirectParamW(instance, pageTemplate, tabs, procedure, 0) : nullptr;
    ShowWindow(page, shown ? SW_SHOW : SW_HIDE);
}

// Ctrl+Tab and Ctrl+Shift+Tab choose the next and the previous tab, wherever the input is, as a tap on the tab does. The
// window's own keyboard handling would take them for Tab: they are seen before it, in its message filter.
LRESULT CALLBACK TabKeysFilter(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    const bool tabKey = code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB &&
                        GetKeyState(VK_CONTROL) < 0;
    HWND dialog = tabKey ? CSettingsState::OpenWindow() : nullptr;
    if (!dialog || GetAncestor(msg->hwnd, GA_ROOT) != dialog)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    const int step = GetKeyState(VK_SHIFT) < 0 ? kTabCount - 1 : 1;
    TabCtrl_SetCurFocus(Tabs(dialog), (TabCtrl_GetCurSel(Tabs(dialog)) + step) % kTabCount);
    return TRUE;
}

// The tabs in the dark look's colours: the control draws them in the system's own otherwise. The pages cover the rest of
// the control and draw themselves.
void PaintDarkTabs(HWND tabs, HDC dc, const platform::Palette& colours)
{
    for (HWND page = GetWindow(tabs, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
        if (IsWindowVisible(page)) {
            const PageRect r = GetChildRect(tabs, page);
            ExcludeClipRect(dc, r.x, r.y, r.x + r.width, r.y + r.height);
        }
    RECT all{};
    GetClientRect(tabs, &all);
    SetDCBrushColor(dc, colours.window);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    handles::select_object font(dc, reinterpret_cast<HFONT>(SendMessageW(tabs, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    const int chosen = TabCtrl_GetCurSel(tabs);
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
        RECT tab{};
        TabCtrl_GetItemRect(tabs, i, &tab);
        SetDCBrushColor(dc, i == chosen ? colours.highlight : colours.face);
        SetDCPenColor(dc, colours.separator);
        handles::select_object brush(dc, GetStockObject(DC_BRUSH)), pen(dc, GetStockObject(DC_PEN));
        Rectangle(dc, tab.left, tab.top, tab.right, tab.bottom);
        wchar_t text[32] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 32;
        TabCtrl_GetItem(tabs, i, &item);
        SetTextColor(dc, i == chosen ? colours.highlightText : colours.faceText);
        DrawTextW(dc, text, -1, &tab, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
        if (i == chosen && GetFocus() == tabs)
            InflateRect(&tab, -2, -2), DrawFocusRect(dc, &tab);
    }
}

LRESULT CALLBACK TabsProc(HWND tabs, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const platform::CTheme* theme = platform::ThemeOf(tabs);
    if (message == WM_PAINT && theme && theme->Dark()) {
        PAINTSTRUCT paint{};
        PaintDarkTabs(tabs, BeginPaint(tabs, &paint), theme->Colours());
        EndPaint(tabs, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND && theme && theme->Dark())
        return 1;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(tabs, TabsProc, 0);
    return DefSubclassProc(tabs, message, wParam, lParam);
}

BOOL OnInitDialog(HWND dialog, const SettingsContext& settings)
{
    CSettingsState::Attach(dialog, std::make_unique<CSettingsState>(settings));
    platform::LendTheme(dialog, settings.theme);
    platform::InitDialog(dialog, platform::INITDIALOG_FULLSCREEN_DONE);
    // The full-screen sizing normally arrives as WM_SIZE; a window that already had that size gets none.
    FitTabControl(dialog);
    HWND tabs = Tabs(dialog);
    SendMessageW(tabs, CCM_SETVERSION, kTabControlVersion, 0);
    // The pages are the tab control's children: the dialog's keyboard handling (Tab, Shift+Tab) looks inside it.
    SetWindowLongPtrW(tabs, GWL_EXSTYLE, GetWindowLongPtrW(tabs, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    for (const auto& page : kPages)
        InsertTab(tabs, page.tab, page.text);
    for (const SettingsTab tab : kMakingOrder)
        MakePage(tabs, settings.instance, kPages[tab].templateId, kPages[tab].procedure, tab == kSectionsTab);
    platform::AcceptDroppedFiles(dialog);
    CSettingsState::Of(dialog).tabKeys.reset(SetWindowsHookExW(WH_MSGFILTER, TabKeysFilter, nullptr, GetCurrentThreadId()));
    SetWindowSubclass(tabs, TabsProc, 0, 0);
    platform::ApplyLook(dialog);
    return TRUE;
}

// Shows the page of the tab chosen and hides the others. The list left keeps its selection mark, and the list shown
// selects the item that was selected when the user left it.
void OnTabChanged(HWND dialog)
{
    CSettingsState& state = CSettingsState::Of(dialog);
    const auto tab = static_cast<SettingsTab>(TabCtrl_GetCurSel(Tabs(dialog)));
    const SettingsTab left = std::exchange(state.shownTab, tab);
    if (left != kOptionsTab)
        state.marks[left] = static_cast<int>(SendMessageW(state.List(left), LVM_GETSELECTIONMARK, 0, 0));
    ShowWindow(state.Page(tab), SW_SHOW);
    for (const auto& page : kPages)
        if (page.tab != tab)
            ShowWindow(state.Page(page.tab), SW_HIDE);
    if (tab == kOptionsTab) {
        SetFocus(GetDlgItem(state.Page(tab), IDC_HOTKEY));
        return;
    }
    HWND list = state.List(tab);
    SetFocus(list);
    SelectListItem(list, state.marks[tab], 0xFF);
}

BOOL OnNotify(HWND dialog, const NMHDR* header)
{
    if (header->idFrom != IDC_TABS || header->code != static_cast<UINT>(TCN_SELCHANGE))
        return FALSE;
    OnTabChanged(dialog);
    return TRUE;
}

// The window itself follows the screen (the shell keeps a full-screen dialog full screen); its pages
// are laid out again in their new room, the hidden ones too.
void OnScreenLayoutChange(HWND dialog)
{
    const CSettingsState& state = CSettingsState::Of(dialog);
    for (const auto& page : kPages)
        if (state.Page(page.tab))
            page.layout(state.Page(page.tab));
}

// The window's size changed, by a screen turn or by the work area alone (a task bar that comes or goes): the tab
// control fills it again and the pages follow.
void OnSize(HWND dialog)
{
    FitTabControl(dialog);
    if (CSettingsState::Find(dialog))
        OnScreenLayoutChange(dialog);
}

// On another monitor's density the window takes its fonts at it and goes where the system says; its pages' controls
// take their templates' sizes in the new font's units and are laid out by the pages' rules at it, their lists' images
// and buttons' icons made for it.
void OnDensityChange(HWND dialog, WPARAM wParam, LPARAM lParam)
{
    platform::FollowDensityChange(dialog, wParam, lParam);
    FitTabControl(dialog);
    const CSettingsState& state = CSettingsState::Of(dialog);
    for (const auto& page : kPages)
        if (state.Page(page.tab))
            platform::PlaceDialogItems(state.settings.instance, state.Page(page.tab), page.templateId);
    OnScreenLayoutChange(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Files and folders dropped on the window join the level of the list shown. The Options tab shows no list: they join
// the top level, as on the Sections tab.
BOOL OnDropFiles(HWND dialog, HDROP drop)
{
    CSettingsState& state = CSettingsState::Of(dialog);
    const SettingsTab tab = state.shownTab == kDocumentsTab ? kDocumentsTab : kSectionsTab;
    CTreeEditor(state).AddDropped(tab, platform::TakeDroppedPaths(drop));
    return TRUE;
}

// Tells the page that holds the focus which of its controls has it.
void ShowFocusedControl(HWND dialog)
{
    const HWND focus = GetFocus();
    const HWND page = focus ? GetParent(focus) : nullptr;
    if (page && page != dialog && IsChild(dialog, page))
        SendMessageW(page, kShowFocusedControl, 0, reinterpret_cast<LPARAM>(focus));
}

}  // namespace

void OpenSettingsWindow(const SettingsContext& settings)
{
    if (HWND open = CSettingsState::OpenWindow()) {
        // The window on top of it (the Add Section dialog, a message box) if one is open.
        SetForegroundWindow(GetLastActivePopup(open));
        return;
    }
    LPCDLGTEMPLATEW settingsTemplate = platform::FindDialogTemplate(settings.instance, IDD_SETTINGS);
    if (settingsTemplate)
        DialogBoxIndirectParamW(settings.instance, settingsTemplate, nullptr, SettingsDlgProc,
                                reinterpret_cast<LPARAM>(&settings));
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // What workers found for the window's commands comes back here (the dropped paths checked).
    if (message != 0 && message == platform::WorkDoneMessage()) {
        platform::RunPostedWork(lParam);
        return TRUE;
    }
    if (message == WM_DPICHANGED) {
        OnDensityChange(dialog, wParam, lParam);
        return TRUE;
    }
    if (platform::IsScreenLayoutChange(message, wParam)) {
        OnScreenLayoutChange(dialog);
        return FALSE;
    }
    if (platform::IsLookChange(message, lParam))
        platform::FollowLookChange(dialog);
    if (const INT_PTR dark = platform::DarkControlColours(dialog, message, wParam))
        return dark;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<const SettingsContext*>(lParam));
    case WM_SIZE: OnSize(dialog); return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_NOTIFY: return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DROPFILES: return OnDropFiles(dialog, reinterpret_cast<HDROP>(wParam));
    // Tab and Shift+Tab move the focus through this message; once moved, the page that scrolls shows the control.
    case WM_NEXTDLGCTL: PostMessageW(dialog, kShowFocusedControl, 0, 0); return FALSE;
    case kShowFocusedControl: ShowFocusedControl(dialog); return TRUE;
    // The state goes after the pages, which use it to the end.
    case WM_NCDESTROY: platform::ForgetWindowLook(dialog), CSettingsState::Detach(dialog); return FALSE;
    }
    return FALSE;
}
