#pragma once
// The "Sections" page: the whole top level of the menu, reordered and extended in place.
#include <windows.h>

INT_PTR CALLBACK SectionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the page out inside its tab control: the list beside its column of six buttons.
void LayoutSectionsPage(HWND page);
