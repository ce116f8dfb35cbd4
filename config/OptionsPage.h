#pragma once
// The Options page of the settings window: the hotkey that opens the menu from any program. A change takes effect at
// once and is stored; a hotkey that another program holds is kept all the same, and the page says it is in use. The
// page asks the program for the hotkey through the window's SettingsContext.
#include <windows.h>

#include "store/Hotkey.h"

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the hotkey in the page's control (unless it shows it already) and, when claimed is false, that another
// program holds it.
void ShowHotkey(HWND page, store::Hotkey hotkey, bool claimed);

// Lays the page out inside its tab control: its controls one below the other, as wide as the page, the menu file's
// buttons under them.
void LayoutOptionsPage(HWND page);
