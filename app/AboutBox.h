#pragma once
// The About box: the program's icon, name and version, laid out for a portrait or a landscape screen.
#include <windows.h>

// The About box's template for a screen of cx x cy: landscape (a square counts) or portrait.
int AboutTemplateFor(int screenWidth, int screenHeight);

// Shows the About box, modal, owned by owner.
void OpenAboutBox(HWND owner);

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
