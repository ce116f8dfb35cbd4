#pragma once
// The menu's own messages, as the window that tracks the menu receives them: that window forwards each one here and
// gets the answer to return.
#include <windows.h>

class CTodayMenu;

namespace menumsg {

// The root menu, ready to be tracked by the window that forwards these messages, its "Recent" made anew or taken away.
HMENU PrepareRoot(CTodayMenu& menu);

// A menu about to show: a list of the tree gets its pictures, a live folder is read again and its entries sized.
LRESULT OnInitMenuPopup(CTodayMenu& menu, WPARAM wParam);
// A menu closed: the looks at its icons that have not started leave the queue, and so does its folder's read.
LRESULT OnUninitMenuPopup(CTodayMenu& menu, WPARAM wParam);
// A choice told by menu and position: a live folder's entry is opened; a tree entry's choice is sent to the window as
// the WM_COMMAND its item would send.
LRESULT OnMenuCommand(CTodayMenu& menu, HWND window, WPARAM wParam, LPARAM lParam);
// A typed letter selects the next entry, wrapping round, whose caption starts with it; a letter that starts none closes
// the menu and asks for the find box with it (CTodayMenu::RequestFind).
LRESULT OnMenuChar(CTodayMenu& menu, HWND window, WPARAM wParam, LPARAM lParam);

// Whether a message is the one by which work done off the GUI thread comes back (platform/Worker.h), and its
// handling: every window that forwards the menu's messages forwards this one too.
bool IsWorkDone(UINT message);
LRESULT OnWorkDone(LPARAM lParam);

}  // namespace menumsg
