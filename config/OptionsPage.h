#pragma once
// The Options page of the settings window: the hotkeys that open the menu and the find box from any program, and whether
// the menu shows the recent documents at its top. A change takes effect at once and is stored; a hotkey that another
// program holds is kept all the same, and the page says it is in use. The page asks the program for the hotkeys through
// the window's SettingsContext.
#include <windows.h>

#include "store/Hotkey.h"

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The roles of the page's two hotkeys: the one that opens the menu and the one that opens the find box.
enum class HotkeyRole { Menu, Find };

// Shows a hotkey in its control (unless it shows it already) and, when claimed is false, that another program holds it.
void ShowHotkey(HWND page, HotkeyRole role, store::Hotkey hotkey, bool claimed);

// Lays the page out inside its tab control: the two hotkeys, each note taking room only while it says something, the
// theme and the recent documents' box, then the menu files' buttons and where the menu lives (beside them on a page
// wider than it is high). A page too short for them scrolls.
void LayoutOptionsPage(HWND page);
