#include "config/SettingsWindow.h"

#include "app/Globals.h"
#include "res/resource.h"

void OpenSettingsWindow()
{
    HRSRC found = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDD_SETTINGS), RT_DIALOG);
    HGLOBAL loaded = found ? LoadResource(g_hInstance, found) : nullptr;
    if (!loaded)
        return;
    DialogBoxIndirectParamW(g_hInstance, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), nullptr,
                            SettingsDlgProc, 0);
}

INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
