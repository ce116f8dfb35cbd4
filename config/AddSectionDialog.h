#pragma once
// The dialog that names a new section and appends it at the end of the top level.
#include <windows.h>

struct SettingsContext;

// Results of the dialog.
constexpr INT_PTR ADD_SECTION_ADDED = 1;      // OK: the section was appended
constexpr INT_PTR ADD_SECTION_CANCELLED = 2;  // Cancel or the caption's close button: nothing changed

// Runs the dialog modally over owner; ADD_SECTION_ADDED, ADD_SECTION_CANCELLED, or -1 if it could not run.
INT_PTR RunAddSectionDialog(HWND owner, const SettingsContext& settings);

// The dialog's procedure; its creation value is the SettingsContext it appends to.
INT_PTR CALLBACK AddSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
