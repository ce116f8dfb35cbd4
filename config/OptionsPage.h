#pragma once
// The Options page of the settings window: the hotkeys that open the menu and the find box from any program, and whether
// the menu shows the recent documents at its top. A change takes effect at once and is stored; a hotkey that another
// program holds is kept all the same, and the page says it is in use. The page asks the program for the hotkeys through
// the window's SettingsContext.
#include <windows.h>

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the page out inside its tab control: the two hotkeys one below the other (side by side on a page wider than it is
// high), each note taking room only while it says something, the recent documents' box, and the menu file's buttons.
void LayoutOptionsPage(HWND page);
