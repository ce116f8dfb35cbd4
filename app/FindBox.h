#pragma once
// The find box: a small top-most window with a text box on top and the documents found below (menu/Search.h), placed
// where the menu opens. Each keystroke filters at once, the first result selected; results that arrive later (live
// folders read on a worker) join below those shown, so nothing moves under the user's eyes. Up, Down, Page Up, Page
// Down, Home and End move in the list; Enter opens the result as the menu would (a command to the main window), Ctrl+Enter
// the folder that holds it; Esc, or a click elsewhere, closes the box. It lives on the GUI thread, from its opening to
// its closing, and holds nothing afterwards.
#include <windows.h>

#include <string>

// Opens the find box with text in it (a letter typed in the open menu, or nothing) and gives it the keyboard; a box
// already open takes a text given in place of its own, and keeps its own for none.
void OpenFindBox(const std::wstring& text);
// The open find box, or null.
HWND FindBoxWindow();
