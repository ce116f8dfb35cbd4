#pragma once
// The two list pages of the settings window, one implementation driven by a description of each: "Sections" shows the
// whole top level of the menu, "Documents" the documents of the level chosen in its section box. Each page keeps
// nothing of its own: what it remembers is in the window's CSettingsState, and every change it asks for goes through
// the window's tree editor.
#include <windows.h>

INT_PTR CALLBACK SectionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DocumentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lay a page out inside its tab control: the list beside its column of buttons, on the Documents page below the
// label and the section box.
void LayoutSectionsPage(HWND page);
void LayoutDocumentsPage(HWND page);

#include <set>

class CSettingsState;

// The Sections page's list shows the top level as it is now: brought in line with it, the rows of the entries in
// touched written again, or, anew, filled again. Nothing is selected afterwards. Nothing while the window has no
// Sections page.
void RefreshSectionsPage(CSettingsState& state, const std::set<int>& touched, bool anew = false);
// The Documents page shows the tree as it is now from its top level ("General"): its section box made anew when the
// sections changed, its list brought in line with the top level (filled again when it showed a section, or anew).
void RefreshDocumentsPage(CSettingsState& state, const std::set<int>& touched, bool anew = false);

// Paints an owner-drawn page button: its icon (from the button's own instance) centred on the window colour,
// inverted while pressed, with a focus rectangle inside its edge while it has the focus. In a high-contrast scheme the
// icon is drawn in the button text colour on the button face colour, the two swapped while pressed.
BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId);
