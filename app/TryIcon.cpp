#include "app/TryIcon.h"

#include <shellapi.h>

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
