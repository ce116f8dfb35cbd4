#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>

#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"
#include "store/Options.h"

HWND g_hOptionsPage = nullptr;

namespace {

// The RegisterHotKey modifiers of a hotkey control's value.
UINT Modifiers(WORD hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    return (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_ALT ? MOD_ALT : 0) |
           (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0);
}

// Claims the hotkey and says under the control when another program holds it.
void ApplyHotkey(HWND page, WORD hotkey)
{
    const bool claimed = ClaimHotkey(SettingsContext::Of(page).hotkeyWindow, hotkey);
    const std::wstring note = claimed ? L"" : HotkeyText(hotkey) + L" is in use by another program. Choose another key.";
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
    LayoutOptionsPage(page);
    return TRUE;
}

}  // namespace

bool ClaimHotkey(HWND window, WORD hotkey)
{
    if (!window)
        return true;
    UnregisterHotKey(window, kHotkeyId);
    return !hotkey || RegisterHotKey(window, kHotkeyId, Modifiers(hotkey), LOBYTE(hotkey));
}

std::wstring HotkeyText(WORD hotkey)
{
    const BYTE flags = HIBYTE(hotkey);
    std::wstring text = std::wstring(flags & HOTKEYF_CONTROL ? L"Ctrl+" : L"") + (flags & HOTKEYF_ALT ? L"Alt+" : L"") +
                        (flags & HOTKEYF_SHIFT ? L"Shift+" : L"");
    const LONG scanCode = static_cast<LONG>(MapVirtualKeyW(LOBYTE(hotkey), MAPVK_VK_TO_VSC));
    wchar_t name[64] = {};
    if (GetKeyNameTextW(scanCode << 16 | (flags & HOTKEYF_EXT ? 1 << 24 : 0), name, 64) > 0)
        return text + name;
    return text + static_cast<wchar_t>(LOBYTE(hotkey));
}

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, lParam);
    case WM_COMMAND:
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
}
