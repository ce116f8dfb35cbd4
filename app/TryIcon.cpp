#include "app/TryIcon.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

int CTryIcon::Add()
{
    Notify(Window, NIM_ADD, IconID, Icon);
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

bool CTryIcon::ShowBalloon(const wchar_t* title, const wchar_t* text)
{
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = Window;
    record.uID = IconID;
    record.uFlags = NIF_INFO;
    wcsncpy(record.szInfoTitle, title, std::size(record.szInfoTitle) - 1);
    wcsncpy(record.szInfo, text, std::size(record.szInfo) - 1);
    record.dwInfoFlags = NIIF_WARNING;
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}
