#pragma once
// The modal prompts of the settings pages: message boxes and the open-file dialog. Tests can answer
// them without a human by installing an answer function; the program never does.
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

namespace platform {

// MessageBoxW; returns the button pressed.
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// GetOpenFileNameW on a filled record; true when the user picked a file (its path is in lpstrFile), never
// for an empty name.
bool ShowOpenFileDialog(OPENFILENAMEW& record);

// Test hooks: while an answer function is set, the prompt is not shown and the function answers in
// its place. An empty function brings the real prompt back.
using MessageAnswer = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)>;
using OpenFileAnswer = std::function<bool(OPENFILENAMEW& record)>;
void SetMessageAnswer(MessageAnswer answer);
void SetOpenFileAnswer(OpenFileAnswer answer);

}  // namespace platform
