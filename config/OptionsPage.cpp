#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "config/MenuFiles.h"
#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"
#include "res/resource.h"
#include "store/Options.h"

namespace {

// The page's groups of rows from the top: its hotkeys, each its label, its control and its note, in the order of
// HotkeyRole; then the theme's label and box, and the recent documents' box (0: no more rows).
constexpr int kGroups[][3] = {{IDC_HOTKEY_LABEL, IDC_HOTKEY, IDC_HOTKEY_NOTE},
                              {IDC_FIND_HOTKEY_LABEL, IDC_FIND_HOTKEY, IDC_FIND_HOTKEY_NOTE},
                              {IDC_THEME_LABEL, IDC_THEME, 0},
                              {IDC_SHOW_RECENT, 0, 0}};
constexpr HotkeyRole kRoles[] = {HotkeyRole::Menu, HotkeyRole::Find};
// A note's height (dialog units) while it says something; it takes no room while empty.
constexpr int kNoteHeight = 26;

// The theme box's entries, in the order of the stored choices (platform::ThemeChoice), and its drop-down's entries.
constexpr const wchar_t* kThemeNames[] = {L"System", L"Light", L"Dark"};
constexpr int kThemeDropDownEntries = 3;

const int (&KeyGroup(HotkeyRole role))[3] { return kGroups[role == HotkeyRole::Menu ? 0 : 1]; }

bool IsNote(int control) { return control == IDC_HOTKEY_NOTE || control == IDC_FIND_HOTKEY_NOTE; }

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

BOOL OnHotkeyChanged(HWND page, HotkeyRole role)
{
    const WORD hotkey = LOWORD(SendDlgItemMessageW(page, KeyGroup(role)[1], HKM_GETHOTKEY, 0, 0));
    if (hotkey && !LOBYTE(hotkey))   // modifiers alone: the key is still being typed
        return TRUE;
    // Some hotkey controls (Wine's) report no key at all while a modifier is held: the chord is still being typed too,
    // and is not to be cleared. Where the control reports the modifiers, this never holds.
    if (!hotkey && IsModifierHeld())
        return TRUE;
    CTreeEditor(CSettingsState::Of(page)).ChangeHotkey(store::Hotkey::From(hotkey), role);
    return TRUE;
}

BOOL OnShowRecentClicked(HWND page)
{
    const bool on = IsDlgButtonChecked(page, IDC_SHOW_RECENT) == BST_CHECKED;
    store::SaveShowRecent(on);
    CSettingsState::Of(page).settings.menu->SetShowRecent(on);
    return TRUE;
}

BOOL OnInitDialog(HWND page)
{
    CSettingsState::Of(page).pages[kOptionsTab] = page;
    platform::InitDialog(page, platform::INITDIALOG_FULLSCREEN_DONE);
    CTreeEditor editor(CSettingsState::Of(page));
    for (const HotkeyRole role : kRoles) {
        // A key alone, or with Shift alone, would be taken from every program: Ctrl+Alt is added to it.
        SendDlgItemMessageW(page, KeyGroup(role)[1], HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        // Claimed again: a program that held it may have let it go.
        editor.ClaimHotkey(role == HotkeyRole::Menu ? store::LoadHotkey() : store::LoadFindHotkey(), role);
    }
    FillThemeBox(page);
    CheckDlgButton(page, IDC_SHOW_RECENT, store::LoadShowRecent() ? BST_CHECKED : BST_UNCHECKED);
    InitMenuFileControls(page);
    LayoutOptionsPage(page);
    return TRUE;
}

BOOL OnCommand(HWND page, WPARAM wParam)
{
    if (OnMenuFileCommand(page, wParam))
        return TRUE;
    const int control = LOWORD(wParam), code = HIWORD(wParam);
    for (const HotkeyRole role : kRoles)
        if (control == KeyGroup(role)[1])
            return code == EN_CHANGE && OnHotkeyChanged(page, role);
    switch (control) {
    case IDC_THEME: return code == CBN_SELCHANGE && OnThemeChosen(page);
    case IDC_SHOW_RECENT: return code == BN_CLICKED && OnShowRecentClicked(page);
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

void ShowHotkey(HWND page, HotkeyRole role, store::Hotkey hotkey, bool claimed)
{
    const int control = KeyGroup(role)[1], note = KeyGroup(role)[2];
    if (LOWORD(SendDlgItemMessageW(page, control, HKM_GETHOTKEY, 0, 0)) != hotkey.Value())
        SendDlgItemMessageW(page, control, HKM_SETHOTKEY, hotkey.Value(), 0);
    const std::wstring text = claimed ? L"" : hotkey.Text() + L" is in use by another program. Choose another key.";
    SetDlgItemTextW(page, note, text.c_str());
    // A note takes room only while it says something.
    LayoutOptionsPage(page);
}

void LayoutOptionsPage(HWND page)
{
    const PageRect place = PlacePage(GetParent(page), page);
    const int edge = platform::ScaledFor(page, 5);
    const int noteHeight = MulDiv(kNoteHeight, platform::DialogBaseUnits(page).cy, 8);
    // The groups one below the other, or two side by side on a page wider than it is high (a landscape screen), where
    // the menu files' rows would otherwise fall below the page.
    const int columns = place.width > place.height ? 2 : 1;
    const int width = std::max(0, (place.width - (columns + 1) * edge) / columns);
    int top = edge, bottom = edge;
    for (size_t group = 0; group < std::size(kGroups); ++group) {
        const int left = edge + static_cast<int>(group % columns) * (width + edge);
        top = group % columns == 0 ? bottom : top;
        int y = top;
        for (const int id : kGroups[group]) {
            HWND control = id ? GetDlgItem(page, id) : nullptr;
            const int height = !control ? 0 : !IsNote(id) ? GetChildRect(page, control).height
                                              : GetWindowTextLengthW(control) > 0 ? noteHeight : 0;
            // A drop-down box's window holds its list too.
            const int entry = id == IDC_THEME ? static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, 0, 0)) : 0;
            if (control)
                MoveWindow(control, left, y, width, height + entry * kThemeDropDownEntries + 2 * (entry > 0), TRUE);
            y += height > 0 ? height + edge : 0;
        }
        bottom = std::max(bottom, y);
    }
    LayoutMenuFileControls(page, bottom, place.width);
}
