#pragma once
// The Pocket PC shell's user-interface calls, and what stands in for them on desktop Windows and Wine.
#include <windows.h>

namespace platform {

// Flags of the shell's dialog initialisation.
constexpr DWORD INITDIALOG_DONEBUTTON = 0x0001;       // OK button in the caption
constexpr DWORD INITDIALOG_SIZEFULLSCREEN = 0x0004;   // the dialog fills the screen
constexpr DWORD INITDIALOG_SIPDOWN = 0x0008;          // the input panel is lowered
constexpr DWORD INITDIALOG_EMPTYMENU = 0x0020;        // an empty menu bar
constexpr DWORD INITDIALOG_FULLSCREEN_DONE = 0x2D;

// The caption's OK button of a device dialog template (an extended style with no meaning on the desktop).
constexpr DWORD EXSTYLE_CAPTIONOKBTN = 0x80000000;

// The shell's dialog initialisation. On the desktop: a full-screen top-level dialog fills the work
// area and keeps filling it when the screen changes (each change arrives as WM_SIZE), a full-screen
// child fills its parent, and the caption's close button (which sends WM_CLOSE) stands for the
// caption's OK button.
BOOL InitDialog(HWND dialog, DWORD flags);

// The parameterless shell-library initialisation at start; nothing on the desktop.
void InitShellLibrary();

// The shell's activation record of a window, kept for the window's life.
struct ActivateInfo {
    DWORD cbSize = sizeof(ActivateInfo);
    HWND hwndLastFocus = nullptr;
    UINT fSipUp = 0;
    UINT fSipOnDeactivation = 0;
    UINT fActive = 0;
    UINT fReserved = 0;
};

// The shell's handling of activation and setting changes for the main window; nothing on the desktop.
void HandleActivate(HWND window, WPARAM wParam, LPARAM lParam, ActivateInfo* info, DWORD flags);
void HandleSettingChange(HWND window, WPARAM wParam, LPARAM lParam, ActivateInfo* info);

// The COM apartment of the program's one thread: the device has only the multithreaded one; on the
// desktop the shell's ShellExecuteEx, links and dialogs want a single-threaded apartment.
DWORD ProgramComModel();

// The part of the screen that the input panel and the bars leave visible (on the desktop: the work
// area without the task bar).
RECT VisibleDesktop();

// True for the message by which the shell says that the screen turned or changed its size or its density.
bool IsScreenLayoutChange(UINT message, WPARAM wParam);

// The notification icon's version that lets it be reached from the keyboard (NIN_SELECT, NIN_KEYSELECT), or 0 where the
// tap is the only way (the device).
UINT NotifyIconVersion();

// Whether the system can run a program as administrator (the shell's "runas" verb): desktop Windows and Wine can, the
// device cannot.
bool OffersElevation();

// Tracks a popup menu owned by a hidden window so that a tap elsewhere closes it, as on the device.
void TrackPopupMenuAt(HMENU menu, UINT flags, int x, int y, HWND owner);

// Brings a running copy's window (and the windows it owns) to the front.
void BringToFront(HWND window);

}  // namespace platform
