#include "config/SettingsWindow.h"

#include <commctrl.h>

#include <string>
#include <utility>

#include "config/ItemList.h"
#include "config/OptionsPage.h"
#include "config/Page.h"
#include "config/SettingsContext.h"
#include "platform/DialogLayout.h"
#include "platform/ListInput.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

constexpr int kSectionsTab = 0;
constexpr int kOptionsTab = 2;
constexpr int kTabControlVersion = 0x20E;

// The open settings window; the pages' state is program-wide, so there is one at a time.
HWND g_settingsWindow = nullptr;
// Each list's selection mark when the user last left its tab; kept for the life of the process.
int g_savedSectionsIndex = 0;
int g_savedDocumentsIndex = 0;
// The tab shown.
int g_shownTab = kSectionsTab;

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

HWND MakePage(HWND tabs, const SettingsContext& settings, int templateId, DLGPROC procedure)
{
    LPCDLGTEMPLATEW pageTemplate = platform::FindDialogTemplate(settings.instance, templateId);
    return pageTemplate ? CreateDialogIndirectParamW(settings.instance, pageTemplate, tabs, procedure,
                                                     reinterpret_cast<LPARAM>(&settings))
                        : nullptr;
}

BOOL OnInitDialog(HWND dialog, const SettingsContext& settings)
{
    g_settingsWindow = dialog;
    platform::InitDialog(dialog, platform::INITDIALOG_FULLSCREEN_DONE);
    // The full-screen sizing normally arrives as WM_SIZE; a window that already had that size gets none.
    FitTabControl(dialog);
    HWND tabs = Tabs(dialog);
    SendMessageW(tabs, CCM_SETVERSION, kTabControlVersion, 0);
    InsertTab(tabs, 0, L"Sections");
    InsertTab(tabs, 1, L"Documents");
    InsertTab(tabs, kOptionsTab, L"Options");
    g_hDocumentsPage = MakePage(tabs, settings, IDD_DOCUMENTS_PAGE, DocumentsPageProc);
    ShowWindow(g_hDocumentsPage, SW_HIDE);
    g_hSectionsPage = MakePage(tabs, settings, IDD_SECTIONS_PAGE, SectionsPageProc);
    ShowWindow(g_hSectionsPage, SW_SHOW);
    g_hOptionsPage = MakePage(tabs, settings, IDD_OPTIONS_PAGE, OptionsPageProc);
    ShowWindow(g_hOptionsPage, SW_HIDE);
    g_shownTab = kSectionsTab;
    platform::AcceptDroppedFiles(dialog);
    return TRUE;
}

// Shows one page and hides the other, keeping the hidden list's selection mark and selecting the
// shown list's item that was selected when the user left it.
void SwitchPages(HWND shown, int shownList, int shownSaved, HWND hidden, int hiddenList, int& hiddenSaved)
{
    ShowWindow(shown, SW_SHOW);
    ShowWindow(hidden, SW_HIDE);
    HWND list = GetDlgItem(shown, shownList);
    SetFocus(list);
    hiddenSaved = static_cast<int>(SendMessageW(GetDlgItem(hidden, hiddenList), LVM_GETSELECTIONMARK, 0, 0));
    SelectListItem(list, shownSaved, 0xFF);
}

int SelectionMark(HWND page, int list)
{
    return static_cast<int>(SendMessageW(GetDlgItem(page, list), LVM_GETSELECTIONMARK, 0, 0));
}

// The list page left for the Options page keeps its selection mark as it does for the other list page.
void ShowOptionsPage(int left)
{
    if (left == kSectionsTab)
        g_savedSectionsIndex = SelectionMark(g_hSectionsPage, IDC_SECTIONS_LIST);
    else if (left != kOptionsTab)
        g_savedDocumentsIndex = SelectionMark(g_hDocumentsPage, IDC_DOCUMENTS_LIST);
    ShowWindow(g_hSectionsPage, SW_HIDE);
    ShowWindow(g_hDocumentsPage, SW_HIDE);
    ShowWindow(g_hOptionsPage, SW_SHOW);
    SetFocus(GetDlgItem(g_hOptionsPage, IDC_HOTKEY));
}

void OnTabChanged(HWND dialog)
{
    const int tab = TabCtrl_GetCurSel(Tabs(dialog));
    const int left = std::exchange(g_shownTab, tab);
    if (tab == kOptionsTab)
        return ShowOptionsPage(left);
    ShowWindow(g_hOptionsPage, SW_HIDE);
    // Back from the Options page, the hidden list's mark was kept when it was left.
    int unchanged = 0;
    if (tab == kSectionsTab) {
        SwitchPages(g_hSectionsPage, IDC_SECTIONS_LIST, g_savedSectionsIndex, g_hDocumentsPage, IDC_DOCUMENTS_LIST,
                    left == kOptionsTab ? unchanged : g_savedDocumentsIndex);
    } else {
        SwitchPages(g_hDocumentsPage, IDC_DOCUMENTS_LIST, g_savedDocumentsIndex, g_hSectionsPage, IDC_SECTIONS_LIST,
                    left == kOptionsTab ? unchanged : g_savedSectionsIndex);
    }
}

BOOL OnNotify(HWND dialog, const NMHDR* header)
{
    if (header->idFrom != IDC_TABS || header->code != static_cast<UINT>(TCN_SELCHANGE))
        return FALSE;
    OnTabChanged(dialog);
    return TRUE;
}

// The window itself follows the screen (the shell keeps a full-screen dialog full screen); its pages
// are laid out again in their new room, the hidden one too.
void OnScreenLayoutChange()
{
    if (g_hSectionsPage)
        LayoutSectionsPage(g_hSectionsPage);
    if (g_hDocumentsPage)
        LayoutDocumentsPage(g_hDocumentsPage);
    if (g_hOptionsPage)
        LayoutOptionsPage(g_hOptionsPage);
}

void OnDestroy(HWND dialog)
{
    if (g_settingsWindow == dialog)
        g_settingsWindow = nullptr;
}

}  // namespace

void OpenSettingsWindow(const SettingsContext& settings)
{
    if (g_settingsWindow) {
        // The window on top of it (the Add Section dialog, a message box) if one is open.
        SetForegroundWindow(GetLastActivePopup(g_settingsWindow));
        return;
    }
    LPCDLGTEMPLATEW settingsTemplate = platform::FindDialogTemplate(settings.instance, IDD_SETTINGS);
    if (settingsTemplate)
        DialogBoxIndirectParamW(settings.instance, settingsTemplate, nullptr, SettingsDlgProc,
                                reinterpret_cast<LPARAM>(&settings));
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (platform::IsScreenLayoutChange(message, wParam)) {
        OnScreenLayoutChange();
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, *reinterpret_cast<const SettingsContext*>(lParam));
    case WM_SIZE: FitTabControl(dialog); return TRUE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_NOTIFY: return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DROPFILES: AddDroppedFiles(reinterpret_cast<HDROP>(wParam)); return TRUE;
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
    }
    return FALSE;
}
