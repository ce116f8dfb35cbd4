#pragma once
// Menu files on the Options page: "Export..." with its check box, "Import..." and "Restore...". An imported tree takes
// the menu's place one way, ApplyImportedTree, which the command line's import through the running copy takes too.
#include <windows.h>

struct SettingsContext;
namespace store {
struct TreeFile;
}

// Puts an imported tree in place of the menu's: stored through the safe save (the tree it replaces backed up first),
// shown at once by the menu and the open settings pages, its hotkey stored and claimed. False, with nothing changed,
// when it could not be stored.
bool ApplyImportedTree(const SettingsContext& settings, const store::TreeFile& file);

// The Options page's part: its controls set up; laid out from top down, the bottom returned; a command of theirs
// handled (true when it was one).
void InitMenuFileControls(HWND page);
int LayoutMenuFileControls(HWND page, int top, int width);
bool OnMenuFileCommand(HWND page, WPARAM wParam);
