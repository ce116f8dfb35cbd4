#pragma once
// The Options page of the settings window: the hotkey that opens the menu from any program. A change takes effect at
// once and is stored; a hotkey that another program holds is kept all the same, and the page says it is in use. The
// page is made with the SettingsContext it works on as its creation value.
#include <windows.h>

#include <string>

// The page of the open settings window; null while none is open.
extern HWND g_hOptionsPage;

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the page out inside its tab control: its label, hotkey control and note one below the other, the menu file's
// buttons under them.
void LayoutOptionsPage(HWND page);
