#include "app/TryIcon.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

#include "platform/ShellUi.h"

int CTryIcon::Add()
{
    Notify(Window, NIM_ADD, IconID, Icon);
    // Where the shell can, the icon takes the keyboard too (Win+B, then Enter): its events then come as NIN_ ones.
    if (const UINT version = platform::NotifyIconVersion()) {
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = Window;
        record.uID = IconID;
        record.uVersion = version;
        Shell_NotifyIconW(NIM_SETVERSION, &record);
    }
    return 0;
}

int CTryIcon::Remove()
{
    Notify(Window, NIM_DELETE, IconID, Icon);
    return 0;
}

bool CTryIcon::Notify(HWND window, DWORD request, UINT id, HICON icon)
{
    // The same record, flags included, serves every request; no tip is shown.
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = window;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = icon;
    return Shell_NotifyIconW(request, &record) != FALSE;
}

bool CTryIcon::OpensMenu(LPARAM event)
{
    // An icon of the keyboard's version puts the event in the low word and its id in the high word.
    switch (LOWORD(event)) {
    case WM_LBUTTONDOWN:
        touched_ = true, lastTouch_ = GetTickCount();
        return true;
    case NIN_KEYSELECT: return true;
    // A mouse click ends with NIN_SELECT, after the touch that already opened the menu.
    case NIN_SELECT: return !touched_ || GetTickCount() - lastTouch_ > GetDoubleClickTime();
    default: return false;
    }
}

bool CTryIcon::ShowBalloon(const wchar_t* title, const wchar_t* text, DWORD flags)
{
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = Window;
    record.uID = IconID;
    record.uFlags = NIF_INFO;
    wcsncpy(record.szInfoTitle, title, std::size(record.szInfoTitle) - 1);
    wcsncpy(record.szInfo, text, std::size(record.szInfo) - 1);
    record.dwInfoFlags = flags;
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}
