#pragma once
// How the user reaches a list's own commands and hands files to a window: the device's tap-and-hold, and on the
// desktop the right button and the context-menu key, and files dropped from the file manager.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace platform {

// Whether the message asks for the context menu of a control: the desktop's WM_CONTEXTMENU (the right button or the
// context-menu key), standing in for the device's tap-and-hold. control is the control asked for; at is where, in
// screen coordinates, or (-1, -1) when asked from the keyboard.
bool IsContextMenuRequest(UINT message, WPARAM wParam, LPARAM lParam, HWND* control, POINT* at);

// Alt+Up and Alt+Down, which a list view keeps to itself, reach its parent as the list's LVN_KEYDOWN, as its other keys
// do; the Alt key is down while the parent handles them.
void NotifyAltArrows(HWND list);

// Lets the file manager drop files and folders on the window (WM_DROPFILES).
void AcceptDroppedFiles(HWND window);
// The paths of a drop, in the order they were dropped; the drop is released.
std::vector<std::wstring> TakeDroppedPaths(HDROP drop);

}  // namespace platform
