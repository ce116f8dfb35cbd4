#pragma once
// The modal prompts of the settings pages: message boxes, the open-file and save-file dialogs and the folder picker.
// Tests can answer them without a human by installing an answer function; the program never does.
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <optional>
#include <string>

namespace platform {

// MessageBoxW; returns the button pressed.
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags);

// GetOpenFileNameW on a filled record; true when the user picked a file (its path is in lpstrFile), never
// for an empty name.
bool ShowOpenFileDialog(OPENFILENAMEW& record);

// GetSaveFileNameW on a filled record; true when the user chose a name (its path is in lpstrFile), never an empty one.
bool ShowSaveFileDialog(OPENFILENAMEW& record);

// The shell's folder picker, titled title; the full path of the folder that the user picked, or nothing on cancel.
std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& title);

// The shell's icon picker opened on an icon location ("file,index", see platform/ShellIcons.h); the location of the
// icon that the user picked, or nothing on cancel.
std::optional<std::wstring> PickIcon(HWND owner, const std::wstring& location);

// Test hooks: while an answer function is set, the prompt is not shown and the function answers in
// its place. An empty function brings the real prompt back.
using MessageAnswer = std::function<int(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags)>;
using OpenFileAnswer = std::function<bool(OPENFILENAMEW& record)>;
void SetMessageAnswer(MessageAnswer answer);
void SetOpenFileAnswer(OpenFileAnswer answer);
void SetSaveFileAnswer(OpenFileAnswer answer);
using FolderAnswer = std::function<std::optional<std::wstring>(HWND owner)>;
void SetFolderAnswer(FolderAnswer answer);
using IconAnswer = std::function<std::optional<std::wstring>(HWND owner, const std::wstring& location)>;
void SetIconAnswer(IconAnswer answer);

}  // namespace platform
