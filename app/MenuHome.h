#pragma once
// Where this run keeps the menu, and the following of a menu file changed elsewhere.
//
// Decided once at start, before any verb runs: a portable copy (tabula.json beside tabula.exe, or /portable) keeps the
// menu and every option in that file and never touches the registry; otherwise the MenuFile option names a file the
// user follows; otherwise the menu lives in the registry. The Options page moves the menu between the registry and a
// followed file (MoveMenuHome).
//
// A file home is followed while the program runs: its folder is watched on a thread of the watch's own
// (platform/FolderWatch.h), a look there reads the file and, when another copy changed it, posts it to the main window,
// where it replaces the menu through the tree editor (config/TreeEditor.h), this copy's unstored change kept beside it
// as a conflict file first. A file that is no menu file is ignored, and the icon says so once.
#include <windows.h>

#include <memory>
#include <string>

namespace platform {
class CFolderWatch;
}

// Puts the menu's home in place for this run: portable when asked or when the file stands beside the program.
void ChooseMenuHome(bool portable);
bool IsPortable();

// Moves the running menu and its options into the file at path (one that exists and is a menu file gives its menu
// instead, through the tree editor), or back into the registry for an empty path; the MenuFile option says which.
// False, with the menu where it was and *error saying why, when the new home cannot take it.
bool MoveMenuHome(HWND mainWindow, const std::wstring& path, std::wstring* error);

class CMenuFollower {
public:
    CMenuFollower();
    ~CMenuFollower();
    // Follows the file home in force, if any, for the main window; a running follow of another home ends first.
    void Start(HWND window);
    void Stop();

private:
    std::unique_ptr<platform::CFolderWatch> watch_;
};
