#pragma once
// The "Documents" page: the documents of the top level or of one chosen section.
#include <windows.h>

INT_PTR CALLBACK DocumentsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Lays the page out inside its tab control: label and section box on top, the list beside its
// column of four buttons below them.
void LayoutDocumentsPage(HWND page);

// After a change on the Sections page: the section box is rebuilt and the page shows the top level
// ("General") again. Nothing happens while no Documents page exists.
void RefreshDocumentsPage();

// The id of the list that the page shows: 0 for the top level, otherwise a section's id.
int CurrentDocumentsSection();
