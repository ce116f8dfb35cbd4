#pragma once
// The dialog that names a new section.
#include <windows.h>

#include <optional>
#include <string>

// Runs the dialog modally over owner; the name typed when OK was pressed (Enter presses it), or nothing when it was
// cancelled (Cancel or the caption's close button) or could not run.
std::optional<std::wstring> AskSectionName(HWND owner, HINSTANCE instance);

// The dialog's procedure; its creation value is the std::wstring that takes the name.
INT_PTR CALLBACK AddSectionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
