// The notification icon, checked with the real shell of the Wine desktop.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "app/Globals.h"
#include "app/TryIcon.h"

namespace {

class TrayIconTest : public testing::Test {
protected:
    void SetUp() override
    {
        window_ = CreateWindowExW(0, L"STATIC", L"tray icon test", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
        icon_ = LoadIconW(nullptr, IDI_APPLICATION);
    }
    void TearDown() override
    {
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = window_;
        record.uID = TRAY_ICON_ID;
        Shell_NotifyIconW(NIM_DELETE, &record);
        DestroyWindow(window_);
    }
    HWND window_ = nullptr;
    HICON icon_ = nullptr;
};

// Where the shell sends the icon's callback, and what it carries.
struct Callback {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
Callback g_lastCallback;

LRESULT CALLBACK RecordCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYNOTIFY && lParam == WM_LBUTTONDOWN)
        g_lastCallback = {message, wParam, lParam};
    return DefWindowProcW(window, message, wParam, lParam);
}

void ClickAt(int x, int y)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = (x * 65535 + width / 2) / (width - 1);
        input.mi.dy = (y * 65535 + height / 2) / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

}  // namespace

TEST_F(TrayIconTest, AddShowsTheIconRemoveTakesItAwayAndTheObjectsEndLeavesIt)
{
    CTryIcon tray;
    tray.SetWindow(window_);
    EXPECT_EQ(0, tray.Remove());   // without an Add: nothing to remove, the answer is 0
    EXPECT_FALSE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));

    tray.SetIcon(icon_);
    EXPECT_EQ(0, tray.Add());
    EXPECT_TRUE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));
    // The same window and id again: the shell already has that icon.
    EXPECT_FALSE(tray.Notify(window_, NIM_ADD, TRAY_ICON_ID, icon_));

    EXPECT_EQ(0, tray.Remove());
    EXPECT_FALSE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));
    // Removing again: the shell refuses, and the answer stays 0.
    EXPECT_EQ(0, tray.Remove());

    {
        CTryIcon added;
        added.SetWindow(window_);
        added.SetIcon(icon_);
        added.Add();
    }
    EXPECT_TRUE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));
}

TEST_F(TrayIconTest, AClickOnTheIconReachesTheWindowAsTheCallbackWithItsId)
{
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCallback));
    CTryIcon tray;
    tray.SetWindow(window_);
    tray.SetIcon(icon_);
    tray.Add();

    // The notification area is the right end of the task bar; the only icon sits at its right.
    HWND taskBar = FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(nullptr, taskBar);
    RECT bar{};
    GetWindowRect(taskBar, &bar);
    g_lastCallback = {};
    const DWORD deadline = GetTickCount() + 3000;
    ClickAt(bar.right - 11, (bar.top + bar.bottom) / 2);
    MSG msg;
    while (g_lastCallback.message == 0 && GetTickCount() < deadline) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_EQ(WM_TRAYNOTIFY, g_lastCallback.message);
    EXPECT_EQ(TRAY_ICON_ID, g_lastCallback.wParam);
    tray.Remove();
}
