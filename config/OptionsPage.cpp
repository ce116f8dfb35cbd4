#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "config/MenuFiles.h"
#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/TreeEditor.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"
#include "res/resource.h"
#include "store/Options.h"

namespace {

// The page's two groups of rows, each from the top: the hotkey with its note, and the theme.
constexpr int kHotkeyRows[] = {IDC_HOTKEY_LABEL, IDC_HOTKEY, IDC_HOTKEY_NOTE};
constexpr int kThemeRows[] = {IDC_THEME_LABEL, IDC_THEME};

// The theme box's entries, in the order of the stored choices (platform::ThemeChoice), and its drop-down's entries.
constexpr const wchar_t* kThemeNames[] = {L"System", L"Light", L"Dark"};
constexpr int kThemeDropDownEntries = 3;

// Stores the theme chosen in the box; the program, the window and its pages take it at once.
BOOL OnThemeChosen(HWND page)
{
    const auto chosen = static_cast<int>(SendDlgItemMessageW(page, IDC_THEME, CB_GETCURSEL, 0, 0));
    if (chosen < 0 || chosen > static_cast<int>(platform::ThemeChoice::Dark))
        return TRUE;
    const auto choice = static_cast<platform::ThemeChoice>(chosen);
    store::SaveTheme(choice);
    const SettingsContext& settings = CSettingsState::Of(page).settings;
    if (settings.changeTheme)
        settings.changeTheme(choice);
    else if (settings.theme)
        settings.theme->Choose(choice);
    platform::ApplyLook(GetAncestor(page, GA_ROOT));
    return TRUE;
}

void FillThemeBox(HWND page)
{
    HWND box = GetDlgItem(page, IDC_THEME);
    for (const wchar_t* name : kThemeNames)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(store::LoadTheme()), 0);
}

bool IsModifierHeld()
{
    return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0;
}

BOOL OnHotkeyChanged(HWND page)
{
    const WORD hotkey = LOWORD(SendDlgItemMessageW(page, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
    if (hotkey && !LOBYTE(hotkey))   // modifiers alone: the key is still being typed
        return TRUE;
    // Some hotkey controls (Wine's) report no key at all while a modifier is held: the chord is still being typed too,
    // and is not to be cleared. Where the control reports the modifiers, this never holds.
    if (!hotkey && IsModifierHeld())
        return TRUE;
    CTreeEditor(CSettingsState::Of(page)).ChangeHotkey(store::Hotkey::From(hotkey));
    return TRUE;
}

BOOL OnInitDialog(HWND page)
{
    CSettingsState::Of(page).pages[kOptionsTab] = page;
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    HWND control = GetDlgItem(page, IDC_HOTKEY);
    // A key alone, or with Shift alone, would be taken from every program: Ctrl+Alt is added to it.
    SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    // Claimed again: a program that held it may have let it go.
    CTreeEditor(CSettingsState::Of(page)).ClaimHotkey(store::LoadHotkey());
    FillThemeBox(page);
    InitMenuFileControls(page);
    LayoutOptionsPage(page);
    return TRUE;
}

BOOL OnCommand(HWND page, WPARAM wParam)
{
    if (OnMenuFileCommand(page, wParam))
        return TRUE;
    const int control = LOWORD(wParam), code = HIWORD(wParam);
    switch (control) {
    case IDC_HOTKEY: return code == EN_CHANGE && OnHotkeyChanged(page);
    case IDC_THEME: return code == CBN_SELCHANGE && OnThemeChosen(page);
    case IDOK: SendMessageW(GetAncestor(page, GA_ROOT), WM_CLOSE, 0, 0); return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_COMMAND: return OnCommand(page, wParam);
    // The page and its texts show the window colour, as the other pages do, and the window's text colour on it (which
    // a high-contrast scheme makes light).
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: return platform::DarkControlColours(page, message, wParam);
    case WM_CTLCOLORSTATIC:
        if (const INT_PTR dark = platform::DarkControlColours(page, message, wParam))
            return dark;
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORDLG:
        if (const INT_PTR dark = platform::DarkControlColours(page, message, wParam))
            return dark;
        return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    }
    return FALSE;
}

void ShowHotkey(HWND page, store::Hotkey hotkey, bool claimed)
{
    if (LOWORD(SendDlgItemMessageW(page, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0)) != hotkey.Value())
        SendDlgItemMessageW(page, IDC_HOTKEY, HKM_SETHOTKEY, hotkey.Value(), 0);
    const std::wstring note = claimed ? L"" : hotkey.Text() + L" is in use by another program. Choose another key.";
    SetDlgItemTextW(page, IDC_HOTKEY_NOTE, note.c_str());
}

namespace {

// Stacks rows of a column width at left from top down, each keeping its height; the top of what may follow.
template <size_t N>
int StackRows(HWND page, const int (&rows)[N], int left, int top, int width)
{
    const int edge = platform::ScaledFor(page, 5);
    for (const int id : rows) {
        HWND control = GetDlgItem(page, id);
        const int height = GetChildRect(page, control).height;
        // A drop-down box's window holds its list too.
        const int entry = id == IDC_THEME ? static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, 0, 0)) : 0;
        MoveWindow(control, left, top, std::max(0, width), height + entry * kThemeDropDownEntries + 2 * (entry > 0), TRUE);
        top += height + edge;
    }
    return top;
}

}  // namespace

void LayoutOptionsPage(HWND page)
{
    const PageRect place = PlacePage(GetParent(page), page);
    const int edge = platform::ScaledFor(page, 5);
    // On a page wider than tall (a landscape screen) the theme goes beside the hotkey, or the menu files' rows would
    // fall below the page.
    const bool beside = place.width > place.height;
    const int column = beside ? (place.width - 3 * edge) / 2 : place.width - 2 * edge;
    const int hotkeyEnd = StackRows(page, kHotkeyRows, edge, edge, column);
    const int themeEnd = StackRows(page, kThemeRows, beside ? 2 * edge + column : edge, beside ? edge : hotkeyEnd, column);
    LayoutMenuFileControls(page, std::max(hotkeyEnd, themeEnd), place.width);
}
