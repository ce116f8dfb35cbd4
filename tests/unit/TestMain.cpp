// Test entry: a hidden main window and COM, as the program has them while it runs, and the disk at its own speed
// after each test.
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/Globals.h"
#include "platform/Media.h"

// Every test ends with the disk as fast as it is: the calls that the slow-media seam holds return.
struct ResetSlowMedia : testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override { platform::media::slow::Reset(); }
};

int wmain(int argc, wchar_t** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ResetSlowMedia);
    g_hInstance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_hMainWnd = CreateWindowExW(0, L"STATIC", L"tabula tests", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    const int result = RUN_ALL_TESTS();
    DestroyWindow(g_hMainWnd);
    CoUninitialize();
    return result;
}
