#pragma once
// The program's one hotkey, held by the main window: pressed anywhere, it opens the menu as a tap on the icon does.
#include <windows.h>

#include "store/Hotkey.h"

// The id under which the main window receives the hotkey as WM_HOTKEY.
constexpr int kHotkeyId = 1;

// Lets go of what window held as the program's hotkey, then claims hotkey (none: nothing more). False when another
// program holds it. A null window holds nothing and is refused nothing.
bool ClaimHotkey(HWND window, store::Hotkey hotkey);

// Lets go of the program's hotkey: from here on the key reaches other programs.
void ReleaseHotkey(HWND window);
