#pragma once
// The two pages of the settings window, one implementation driven by a description of each: "Sections" shows the
// whole top level of the menu, "Documents" the documents of the level chosen in its section box. Each page is made
// with the SettingsContext it works on as its creation value.
#include <windows.h>
#include <shellapi.h>

// The pages of the open settings window; null while none is open.
extern HWND g_hSectionsPage;
extern HWND g_hDocumentsPage;

INT_PTR CALLBACK SectionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DocumentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lay a page out inside its tab control: the list beside its column of buttons, on the Documents page below the
// label and the section box.
void LayoutSectionsPage(HWND page);
void LayoutDocumentsPage(HWND page);

// After a change on the other page: the Sections list is rebuilt; the Documents page rebuilds its section box and
// shows the top level ("General") again. Nothing happens while the page does not exist.
void RefreshSectionsPage();
void RefreshDocumentsPage();

// The level that the Documents page shows: 0 for the top level, otherwise a section's id.
int CurrentDocumentsSection();

// Files and folders dropped on the settings window join the level of the page shown: the top level on Sections, the
// chosen level on Documents. The drop is released.
void AddDroppedFiles(HDROP drop);

// Paints an owner-drawn page button: its icon (from the button's own instance) centred on the window colour,
// inverted while pressed.
BOOL DrawIconButton(const DRAWITEMSTRUCT* record, int iconId);
