// The least a notification-area program does: a hidden window and its icon, until WM_CLOSE. bench_async compares how
// soon tabula.exe shows its icon with how soon this does.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kIconId = 1;

NOTIFYICONDATAW IconRecord(HWND window)
{
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = window;
    record.uID = kIconId;
    record.uFlags = NIF_ICON | NIF_MESSAGE;
    record.uCallbackMessage = WM_APP;
    record.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    return record;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW record = IconRecord(window);
        Shell_NotifyIconW(NIM_DELETE, &record);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TabulaMinimalTray";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    NOTIFYICONDATAW record = IconRecord(window);
    Shell_NotifyIconW(NIM_ADD, &record);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
