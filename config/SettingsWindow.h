#pragma once
#include <windows.h>

// Opens the settings window (modal, no owner) and returns when the user closes it. While one is open,
// a second call brings the open one to the front instead.
void OpenSettingsWindow();

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
