#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>
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
// HotkeyRole; then the theme's box (its label goes before it, on its row), and the recent documents' box (0: no more
// rows).
constexpr int kGroups[][3] = {{IDC_HOTKEY_LABEL, IDC_HOTKEY, IDC_HOTKEY_NOTE},
                              {IDC_FIND_HOTKEY_LABEL, IDC_FIND_HOTKEY, IDC_FIND_HOTKEY_NOTE},
                              {IDC_THEME, 0, 0},
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
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
        if (ScrollPage(page, message, wParam))
            LayoutOptionsPage(page);
        return TRUE;
    case kShowFocusedControl:
        if (ScrollPageTo(page, reinterpret_cast<HWND>(lParam)))
            LayoutOptionsPage(page);
        return TRUE;
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

namespace {

// Lays the controls out in a page of the given client width, offset pixels higher than they stand; returns the height
// they take.
int LayoutOptionsControls(HWND page, int pageWidth, bool landscape, int offset)
{
    const int edge = platform::ScaledFor(page, 5);
    const int noteHeight = MulDiv(kNoteHeight, platform::DialogBaseUnits(page).cy, 8);
    // One column, or two on a page wider than it is high (a landscape screen), where the menu files' rows would
    // otherwise fall below the page: the keys, the theme and the recent documents' box on the left, the menu files on
    // the right.
    const int columns = landscape ? 2 : 1;
    const int width = std::max(0, (pageWidth - (columns + 1) * edge) / columns);
    int y = edge - offset;
    for (const auto& group : kGroups)
        for (const int id : group) {
            HWND control = id ? GetDlgItem(page, id) : nullptr;
            if (id == IDC_THEME) {
                // The theme's label before its box, on the box's row.
                const HWND label = GetDlgItem(page, IDC_THEME_LABEL);
                const PageRect named = GetChildRect(page, label), box = GetChildRect(page, control);
                MoveWindow(label, edge, y + (box.height - named.height) / 2, named.width, named.height, TRUE);
                // A drop-down box's window holds its list too.
                const int entry = static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, 0, 0));
                const int left = 2 * edge + named.width;
                MoveWindow(control, left, y, std::max(0, edge + width - left), box.height + entry * kThemeDropDownEntries + 2,
                           TRUE);
                y += box.height + edge;
                continue;
            }
            if (!control)
                continue;
            const int height = !IsNote(id) ? GetChildRect(page, control).height
                                           : GetWindowTextLengthW(control) > 0 ? noteHeight : 0;
            MoveWindow(control, edge, y, width, height, TRUE);   // an empty note too: it takes no room
            y += height > 0 ? height + edge : 0;
        }
    const int files = LayoutMenuFileControls(page, columns == 2 ? 2 * edge + width : edge, columns == 2 ? edge - offset : y, width);
    return std::max(y, files) + offset;
}

}  // namespace

void LayoutOptionsPage(HWND page)
{
    const PageRect place = PlacePage(GetParent(page), page);
    // Once more when the scroll bar came or went (the width changed) or the offset had to change with the height.
    for (int pass = 0; pass < 3; ++pass) {
        RECT client{};
        GetClientRect(page, &client);
        const int height = LayoutOptionsControls(page, client.right, place.width > place.height, PageScrollOffset(page));
        if (!FitPageScroll(page, height))
            break;
    }
}
