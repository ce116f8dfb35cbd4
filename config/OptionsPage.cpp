#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>

#include "config/MenuFiles.h"
#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"
#include "store/Options.h"

HWND g_hOptionsPage = nullptr;

namespace {

// Asks the program to take the hotkey and says under the control when another program holds it.
void ApplyHotkey(HWND page, WORD hotkey)
{
    const SettingsContext& settings = SettingsContext::Of(page);
    const bool claimed = !settings.changeHotkey || settings.changeHotkey(hotkey);
    const std::wstring note =
        claimed ? L"" : store::HotkeyText(hotkey) + L" is in use by another program. Choose another key.";
    SetDlgItemTextW(page, IDC_HOTKEY_NOTE, note.c_str());
}

BOOL OnHotkeyChanged(HWND page)
{
    const WORD hotkey = LOWORD(SendDlgItemMessageW(page, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    if (hotkey && !LOBYTE(hotkey))   // modifiers alone: the key is still being typed
        return TRUE;
    store::SaveHotkey(hotkey);
    ApplyHotkey(page, hotkey);
    return TRUE;
}

BOOL OnInitDialog(HWND page, LPARAM settings)
{
    SettingsContext::Keep(page, settings);
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    HWND control = GetDlgItem(page, IDC_HOTKEY);
    // A key alone, or with Shift alone, would be taken from every program: Ctrl+Alt is added to it.
    SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    const WORD hotkey = store::LoadHotkey();
    SendMessageW(control, HKM_SETHOTKEY, hotkey, 0);
    // Claimed again: a program that held it may have let it go.
    ApplyHotkey(page, hotkey);
    InitMenuFileControls(page);
    LayoutOptionsPage(page);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, lParam);
    case WM_COMMAND:
        if (OnMenuFileCommand(page, wParam))
            return TRUE;
        if (LOWORD(wParam) == IDC_HOTKEY && HIWORD(wParam) == EN_CHANGE)
            return OnHotkeyChanged(page);
        if (LOWORD(wParam) == IDOK)
            SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0);
        return LOWORD(wParam) == IDOK;
    // The page and its texts show the window colour, as the other pages do.
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_DESTROY:
        if (g_hOptionsPage == page)
            g_hOptionsPage = nullptr;
        return FALSE;
    }
    return FALSE;
}

void LayoutOptionsPage(HWND page)
{
    const PageRect place = PlacePage(GetParent(page), page);
    const int edge = platform::Scaled(5);
    int top = edge;
    for (const int id : {IDC_HOTKEY_LABEL, IDC_HOTKEY, IDC_HOTKEY_NOTE}) {
        HWND control = GetDlgItem(page, id);
        const int height = GetChildRect(page, control).height;
        MoveWindow(control, edge, top, std::max(0, place.width - 2 * edge), height, TRUE);
        top += height + edge;
    }
    LayoutMenuFileControls(page, top, place.width);
}
