#include "platform/ShellUi.h"

namespace platform {

BOOL InitDialog(HWND dialog, DWORD flags)
{
    if (flags & INITDIALOG_DONEBUTTON) {
        // The close button of the caption sends WM_CLOSE, which the dialogs treat like their OK button.
        SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_SYSMENU);
    }
    if (flags & INITDIALOG_SIZEFULLSCREEN) {
        const RECT work = VisibleDesktop();
        SetWindowPos(dialog, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

void InitShellLibrary() {}

void HandleActivate(HWND, WPARAM, LPARAM) {}

void HandleSettingChange(HWND, WPARAM, LPARAM) {}

RECT VisibleDesktop()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

bool IsScreenLayoutChange(UINT message, WPARAM wParam)
{
    constexpr WPARAM kSettingChangeReset = 0x3002;
    return (message == WM_SETTINGCHANGE && wParam == kSettingChangeReset) || message == WM_DISPLAYCHANGE;
}

void TrackPopupMenuAt(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    // A menu owned by a window that is not in the foreground does not close on a click elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace platform
