#pragma once
// The settings window: a full-screen tab control with the Sections, Documents and Options pages.
#include <windows.h>

struct SettingsContext;

// Opens the settings window (modal, no owner) on what settings names and returns when the user closes it. While one
// is open, a second call brings the open one to the front instead.
void OpenSettingsWindow(const SettingsContext& settings);

// The window's procedure; its creation value is the SettingsContext it works on, which outlives it.
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
