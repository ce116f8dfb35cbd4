#include "app/AboutBox.h"

#include "app/Globals.h"
#include "platform/DialogLayout.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

INT_PTR OnAboutInit(HWND dialog)
{
    platform::InitDialog(dialog, platform::INITDIALOG_FULLSCREEN_DONE);
    return TRUE;
}

INT_PTR OnAboutSize(HWND dialog)
{
    // The screen's shape decides, not the size in the message.
    platform::ApplyDialogLayout(g_hInstance, dialog,
                                AboutTemplateFor(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    return FALSE;
}

INT_PTR OnAboutCommand(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) != IDOK)
        return FALSE;
    EndDialog(dialog, IDOK);
    return TRUE;
}

INT_PTR OnAboutClose(HWND dialog)
{
    EndDialog(dialog, WM_CLOSE);
    return TRUE;
}

void OnAboutDestroy(HWND dialog)
{
    // The icon put into the icon control by a layout belongs to the box.
    HANDLE icon = reinterpret_cast<HANDLE>(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETIMAGE, IMAGE_ICON, 0));
    if (icon) {
        SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_SETIMAGE, IMAGE_ICON, 0);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

}  // namespace

int AboutTemplateFor(int screenWidth, int screenHeight)
{
    return screenHeight <= screenWidth ? IDD_ABOUT_LANDSCAPE : IDD_ABOUT_PORTRAIT;
}

void OpenAboutBox(HWND owner)
{
    if (LPCDLGTEMPLATEW aboutTemplate = platform::FindDialogTemplate(g_hInstance, IDD_ABOUT_PORTRAIT))
        DialogBoxIndirectParamW(g_hInstance, aboutTemplate, owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: return OnAboutInit(dialog);
    case WM_SIZE: return OnAboutSize(dialog);
    case WM_COMMAND: return OnAboutCommand(dialog, wParam);
    case WM_CLOSE: return OnAboutClose(dialog);
    case WM_DESTROY: OnAboutDestroy(dialog); return FALSE;
    default: return FALSE;
    }
}
