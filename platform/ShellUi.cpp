#include "platform/ShellUi.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace platform {

namespace {

constexpr UINT_PTR kFullScreenSubclass = 0x54424C41;   // "TBLA"

bool IsChild(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0; }

// The rectangle a full-screen dialog fills: the work area, or its parent's client area for a child.
RECT FullScreenRect(HWND dialog)
{
    if (IsChild(dialog)) {
        RECT client{};
        GetClientRect(GetParent(dialog), &client);
        return client;
    }
    return VisibleDesktop();
}

void FillScreen(HWND dialog)
{
    const RECT area = FullScreenRect(dialog);
    SetWindowPos(dialog, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Keeps a full-screen top-level dialog on the whole work area when the screen turns, as the device's
// shell does. The shell moves its task bar and the work area a moment after the screen changed, so the
// dialog is fitted again once that has happened.
LRESULT CALLBACK FullScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    constexpr UINT kSettleMs = 300;
    switch (message) {
    case WM_DISPLAYCHANGE:
        FillScreen(window);
        SetTimer(window, kFullScreenSubclass, kSettleMs, nullptr);
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA)
            FillScreen(window);
        break;
    case WM_TIMER:
        if (wParam != kFullScreenSubclass)
            break;
        KillTimer(window, kFullScreenSubclass);
        FillScreen(window);
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, FullScreenProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

BOOL InitDialog(HWND dialog, DWORD flags)
{
    // The device's caption-OK extended style means nothing here; it is not left for the desktop to read.
    const LONG_PTR exStyle = GetWindowLongPtrW(dialog, GWL_EXSTYLE);
    if (exStyle & EXSTYLE_CAPTIONOKBTN)
        SetWindowLongPtrW(dialog, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(EXSTYLE_CAPTIONOKBTN));
    if ((flags & INITDIALOG_DONEBUTTON) && !IsChild(dialog)) {
        // The close button of the caption sends WM_CLOSE, which the dialogs treat like their OK button.
        SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_SYSMENU);
    }
    if (flags & INITDIALOG_SIZEFULLSCREEN) {
        FillScreen(dialog);
        if (!IsChild(dialog))
            SetWindowSubclass(dialog, FullScreenProc, kFullScreenSubclass, 0);
    } else {
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

void InitShellLibrary() {}

void HandleActivate(HWND, WPARAM, LPARAM, ActivateInfo*, DWORD) {}

void HandleSettingChange(HWND, WPARAM, LPARAM, ActivateInfo*) {}

DWORD ProgramComModel() { return COINIT_APARTMENTTHREADED; }

RECT VisibleDesktop()
{
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Right after the screen turns, some shells (Wine's virtual desktop) still report the old work area.
    RECT inside{};
    if (!IntersectRect(&inside, &work, &screen) || !EqualRect(&inside, &work))
        work = screen;
    // Nor do they take their task bar out of the work area.
    RECT bar{};
    HWND taskBar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (taskBar && IsWindowVisible(taskBar) && GetWindowRect(taskBar, &bar) && bar.left <= work.left &&
        bar.right >= work.right) {
        if (bar.top > work.top && bar.top < work.bottom && bar.bottom >= work.bottom)
            work.bottom = bar.top;
        else if (bar.top <= work.top && bar.bottom > work.top && bar.bottom < work.bottom)
            work.top = bar.bottom;
    }
    return work;
}

bool IsScreenLayoutChange(UINT message, WPARAM wParam)
{
    constexpr WPARAM kSettingChangeReset = 0x3002;
    return (message == WM_SETTINGCHANGE && wParam == kSettingChangeReset) || message == WM_DISPLAYCHANGE ||
           message == WM_DPICHANGED;
}

UINT NotifyIconVersion()
{
#if defined(_WIN32_WCE)
    return 0;
#else
    return NOTIFYICON_VERSION_4;
#endif
}

bool OffersElevation()
{
#if defined(_WIN32_WCE)
    return false;
#else
    return true;
#endif
}

void TrackPopupMenuAt(HMENU menu, UINT flags, int x, int y, HWND owner)
{
    // A menu owned by a window that is not in the foreground does not close on a click elsewhere.
    SetForegroundWindow(owner);
    TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

void BringToFront(HWND window)
{
    // The device sets the handle's lowest bit to bring the owned windows along; the desktop has no such form.
    SetForegroundWindow(window);
}

}  // namespace platform
