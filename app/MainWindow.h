#pragma once
// The hidden main window: it owns the notification icon, receives its taps, tracks the popup menu and
// routes the menu's and the accelerators' commands.
#include <windows.h>

#include "platform/ShellUi.h"

extern platform::ActivateInfo g_ActivateInfo;   // the shell's activation record of the main window

// The single-instance test, the class and the window. False when this process is not to run: another
// copy runs (it is brought to the front), or the class or window could not be made.
bool InitMainWindow(HINSTANCE hInstance, int nCmdShow);

ATOM RegisterMainWindowClass(HINSTANCE hInstance, const wchar_t* className);

// Pops the menu up at the bottom right of the visible desktop, owned by the main window: a tap on the icon and the
// hotkey both open it here. A letter typed in it that starts no entry opens the find box once it has closed.
void ShowMenu(HWND hWnd);

// Runs the message loop with the accelerators applied to every window's messages; the quit code.
int RunMessageLoop(HACCEL accelerators);

// Claims the stored hotkeys (the menu's and the find box's) for the main window; when another program holds one, the icon
// says so once.
void ClaimStoredHotkey();

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
