#pragma once
// Which look is in force (light, dark or a high-contrast scheme) and the one small palette of what the program draws
// itself in it, for the menu and every window of the program alike.
#include <windows.h>

#include "platform/Handles.h"

namespace platform {

// The user's choice, as stored: follow the system, or always light, or always dark.
enum class ThemeChoice : DWORD { System = 0, Light = 1, Dark = 2 };

// What is drawn: a high-contrast scheme always wins; the light look is the system's own colours.
enum class Look { Light, Dark, Contrast };

// The colours of what the program draws itself.
struct Palette {
    COLORREF menu, menuText, grayText, highlight, highlightText, separator;   // menus
    COLORREF window, windowText, face, faceText;                              // windows, their buttons
};

// Whether the system asks programs for dark colours (AppsUseLightTheme 0); a system without that value (the device,
// older desktops) is light.
bool SystemPrefersDark();
// The look of a choice on this system now.
Look LookOf(ThemeChoice choice);
// The light look and a high-contrast scheme take the system colours, read now; the dark look its own.
Palette PaletteOf(Look look);
// Whether the message says that the system's light or dark choice, its colours or its contrast may have changed.
bool IsLookChange(UINT message, LPARAM lParam);

// The look in force for the program: the user's choice and what the system says. Owned by the program, lent to its
// windows; every window asks it and follows it when it changes.
class CTheme {
public:
    explicit CTheme(ThemeChoice choice = ThemeChoice::System);
    CTheme(const CTheme&) = delete;
    CTheme& operator=(const CTheme&) = delete;

    ThemeChoice Choice() const { return choice_; }
    // Takes a new choice, or reads the system again; true when the look changed. Either may be asked by every window
    // that hears of a change, in any order: the second finds nothing new.
    bool Choose(ThemeChoice choice);
    bool Refresh();

    Look Current() const { return look_; }
    bool Dark() const { return look_ == Look::Dark; }
    const Palette& Colours() const { return palette_; }
    // Brushes of the palette's window, button and menu colours (lent); the system's own in the light look.
    HBRUSH WindowBrush() const;
    HBRUSH FaceBrush() const;
    HBRUSH MenuBrush() const;

private:
    ThemeChoice choice_;
    Look look_ = Look::Light;
    Palette palette_{};
    handles::unique_hbrush window_, face_, menu_;
};

// A window lent the program's theme, and the theme of a window: its own, or that of the window that holds it or owns it
// (a page of the settings window, a dialog opened over it); none when none was lent.
void LendTheme(HWND window, CTheme* theme);
CTheme* ThemeOf(HWND window);

// The answer to a WM_CTLCOLOR* message of a window in the dark look: the colours set on its device context and the
// brush to return; 0 in any other look, where the window answers as it always has.
INT_PTR DarkControlColours(HWND window, UINT message, WPARAM dc);
// Gives a window and its controls the look of its theme: list views' colours, the system's dark control themes and
// caption where the system has them, drawn again. A window that never was dark is left as it is in the light look.
void ApplyLook(HWND window);
// The look may have changed (IsLookChange): the theme reads the system again, and the window follows it.
void FollowLookChange(HWND window);

// A window's density changed (WM_DPICHANGED): it is kept as the window's (platform/Shell.h WindowDensity), its controls
// take its font grown or shrunk to it, and the window goes where the system suggests. Its layout is the caller's.
void FollowDensityChange(HWND window, WPARAM wParam, LPARAM lParam);
// The look's and the density's part of a dialog's procedure, asked before its own handling: the look taken as it opens,
// its controls' colours in the dark look, a change of look followed, a change of density followed (the dialog takes the
// new font, then lays itself out again on the WM_SIZE it is sent, in that font's units), and what was kept for it
// forgotten as it goes.
// True, with the answer to return, when the message is answered.
bool AnswerLookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* answer);

// Forgets what the two above kept for a window that goes.
void ForgetWindowLook(HWND window);

}  // namespace platform
