#pragma once
// The hidden main window: it owns the notification icon, receives its taps, tracks the popup menu and
// routes the menu's and the accelerators' commands.
#include <windows.h>

#include <string>

#include "config/SettingsContext.h"
#include "platform/ShellUi.h"
#include "platform/Theme.h"

extern platform::ActivateInfo g_ActivateInfo;   // the shell's activation record of the main window

// The single-instance test, the class and the window. False when this process is not to run: another
// copy runs (it is brought to the front), or the class or window could not be made.
bool InitMainWindow(HINSTANCE hInstance, int nCmdShow);

// A string resource; empty when there is none.
std::wstring LoadResourceString(HINSTANCE instance, UINT id);
// The name of the claim that the one running copy holds for its whole life, from before its window is made.
std::wstring InstanceClaimName(HINSTANCE instance);

// The registered message by which another process asks the running copy to write what it still has to write, and is
// answered when it has.
UINT StoreFlushMessage();

// What the settings window and the other changes of the tree work on: the program's tree and store, and its hotkey,
// which is claimed only while the program is not ending.
SettingsContext ProgramSettings(HWND mainWindow);

ATOM RegisterMainWindowClass(HINSTANCE hInstance, const wchar_t* className);

// Pops the menu up at the bottom right of the visible desktop, owned by the main window: a tap on the icon and the
// hotkey both open it here. A letter typed in it that starts no entry opens the find box once it has closed.
void ShowMenu(HWND hWnd);

// Runs the message loop with the accelerators applied to every window's messages; the quit code.
int RunMessageLoop(HACCEL accelerators);

// Takes the user's theme choice: the menu and the pictures follow it at once.
void ChooseTheme(platform::ThemeChoice choice);

// Claims the stored hotkeys (the menu's and the find box's) for the main window; when another program holds one, the icon
// says so once.
void ClaimStoredHotkey();

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
