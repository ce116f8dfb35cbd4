#pragma once
// The program's hotkeys, held by the main window: pressed anywhere, one opens the menu as a tap on the icon does, the
// other opens the find box.
#include <windows.h>

#include "store/Hotkey.h"

// The ids under which the main window receives the hotkeys as WM_HOTKEY.
constexpr int kHotkeyId = 1;       // the menu
constexpr int kFindHotkeyId = 2;   // the find box

// Lets go of what window held as the program's hotkey with this id, then claims hotkey (none: nothing more) under it.
// False when another program holds it. A null window holds nothing and is refused nothing.
bool ClaimHotkey(HWND window, store::Hotkey hotkey, int id = kHotkeyId);

// Lets go of both of the program's hotkeys: from here on the keys reach other programs.
void ReleaseHotkey(HWND window);
