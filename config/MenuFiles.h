#pragma once
// Menu files on the Options page: "Export..." with its check box, "Import..." and "Restore...", and where the menu
// lives with its two buttons. An imported or restored tree takes the menu's place through the tree editor
// (config/TreeEditor.h), as every change does.
#include <windows.h>

// The Options page's part: its controls set up; laid out from top down in the column that starts at left, the bottom
// returned; a command of theirs handled (true when it was one).
void InitMenuFileControls(HWND page);
int LayoutMenuFileControls(HWND page, int left, int top, int width);
bool OnMenuFileCommand(HWND page, WPARAM wParam);
