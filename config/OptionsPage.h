#pragma once
// The Options page of the settings window: the hotkey that opens the menu from any program. A change takes effect at
// once and is stored; a hotkey that another program holds is kept all the same, and the page says it is in use. The
// page is made with the SettingsContext it works on as its creation value.
#include <windows.h>

#include <string>

// The page of the open settings window; null while none is open.
extern HWND g_hOptionsPage;

// The program's one hotkey, which window receives as WM_HOTKEY with this id.
constexpr int kHotkeyId = 1;
// Lets go of what window held as the program's hotkey, then claims hotkey (a hotkey control's value; 0 for none).
// False when another program holds it. A null window holds nothing and is refused nothing.
bool ClaimHotkey(HWND window, WORD hotkey);
// A hotkey as the user reads it, "Ctrl+Alt+T".
std::wstring HotkeyText(WORD hotkey);

INT_PTR CALLBACK OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the page out inside its tab control: its label, hotkey control and note one below the other.
void LayoutOptionsPage(HWND page);
