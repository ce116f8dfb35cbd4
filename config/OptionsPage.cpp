#include "config/OptionsPage.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>

#include "config/MenuFiles.h"
#include "config/PageLayout.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "menu/TodayMenu.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"
#include "store/Options.h"

namespace {

// The page's hotkeys from the top, each its label, its control and its note; the recent documents' box below them.
constexpr int kKeyGroups[][3] = {{IDC_HOTKEY_LABEL, IDC_HOTKEY, IDC_HOTKEY_NOTE},
                                 {IDC_FIND_HOTKEY_LABEL, IDC_FIND_HOTKEY, IDC_FIND_HOTKEY_NOTE}};
// A note's height (dialog units) while it says something; it takes no room while empty.
constexpr int kNoteHeight = 26;

// The page's two hotkeys: the menu's and the find box's, each with its control, its note, how it is kept and how the
// program is asked to take it.
struct HotkeyRow {
    int control;
    int note;
    WORD (*load)();
    bool (*save)(WORD);
    std::function<bool(WORD)> SettingsContext::*change;
};
const HotkeyRow kHotkeys[] = {
    {IDC_HOTKEY, IDC_HOTKEY_NOTE, store::LoadHotkey, store::SaveHotkey, &SettingsContext::changeHotkey},
    {IDC_FIND_HOTKEY, IDC_FIND_HOTKEY_NOTE, store::LoadFindHotkey, store::SaveFindHotkey,
     &SettingsContext::changeFindHotkey},
};

bool IsNote(int control) { return control == IDC_HOTKEY_NOTE || control == IDC_FIND_HOTKEY_NOTE; }

// Asks the program to take the hotkey and says under the control when another program holds it.
void ApplyHotkey(HWND page, const HotkeyRow& row, WORD hotkey)
{
    const std::function<bool(WORD)>& change = CSettingsState::Of(page).settings.*row.change;
    const bool claimed = !change || change(hotkey);
    const std::wstring note =
        claimed ? L"" : store::HotkeyText(hotkey) + L" is in use by another program. Choose another key.";
    SetDlgItemTextW(page, row.note, note.c_str());
    LayoutOptionsPage(page);
}

bool IsModifierHeld()
{
    return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0;
}

BOOL OnHotkeyChanged(HWND page, const HotkeyRow& row)
{
    const WORD hotkey = LOWORD(SendDlgItemMessageW(page, row.control, HKM_GETHOTKEY, 0, 0));
    if (hotkey && !LOBYTE(hotkey))   // modifiers alone: the key is still being typed
        return TRUE;
    // Some hotkey controls (Wine's) report no key at all while a modifier is held: the chord is still being typed too,
    // and is not to be cleared. Where the control reports the modifiers, this never holds.
    if (!hotkey && IsModifierHeld())
        return TRUE;
    row.save(hotkey);
    ApplyHotkey(page, row, hotkey);
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
    for (const HotkeyRow& row : kHotkeys) {
        HWND control = GetDlgItem(page, row.control);
        // A key alone, or with Shift alone, would be taken from every program: Ctrl+Alt is added to it.
        SendMessageW(control, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
        const WORD hotkey = row.load();
        SendMessageW(control, HKM_SETHOTKEY, hotkey, 0);
        // Claimed again: a program that held it may have let it go.
        ApplyHotkey(page, row, hotkey);
    }
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
    for (const HotkeyRow& row : kHotkeys)
        if (control == row.control)
            return code == EN_CHANGE && OnHotkeyChanged(page, row);
    switch (control) {
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
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(platform::SysColorBrush(COLOR_WINDOW));
    }
    return FALSE;
}

void LayoutOptionsPage(HWND page)
{
    const PageRect place = PlacePage(GetParent(page), page);
    const int edge = platform::Scaled(5);
    RECT note{0, 0, 0, kNoteHeight};
    MapDialogRect(page, &note);
    // The two keys one below the other, or side by side on a page wider than it is high.
    const int columns = place.width > place.height ? 2 : 1;
    const int width = std::max(0, (place.width - (columns + 1) * edge) / columns);
    int top = edge, bottom = edge;
    for (size_t group = 0; group < std::size(kKeyGroups); ++group) {
        const int left = edge + static_cast<int>(group % columns) * (width + edge);
        top = group % columns == 0 ? bottom : top;
        int y = top;
        for (const int id : kKeyGroups[group]) {
            HWND control = GetDlgItem(page, id);
            const int height = !IsNote(id) ? GetChildRect(page, control).height
                               : GetWindowTextLengthW(control) > 0 ? int(note.bottom) : 0;
            MoveWindow(control, left, y, width, height, TRUE);
            y += height > 0 ? height + edge : 0;
        }
        bottom = std::max(bottom, y);
    }
    const HWND recent = GetDlgItem(page, IDC_SHOW_RECENT);
    const int height = GetChildRect(page, recent).height;
    MoveWindow(recent, edge, bottom, std::max(0, place.width - 2 * edge), height, TRUE);
    LayoutMenuFileControls(page, bottom + height + edge, place.width);
}
