#pragma once
// The program's one hotkey, held by the main window: pressed anywhere, it opens the menu as a tap on the icon does.
#include <windows.h>

// The id under which the main window receives the hotkey as WM_HOTKEY.
constexpr int kHotkeyId = 1;

// Lets go of what window held as the program's hotkey, then claims hotkey (a hotkey control's value; 0 for none).
// False when another program holds it. A null window holds nothing and is refused nothing.
bool ClaimHotkey(HWND window, WORD hotkey);

// Lets go of the program's hotkey: from here on the key reaches other programs.
void ReleaseHotkey(HWND window);
