// The hidden main window: its routing of taps, menu commands and accelerator commands, the exit
// the real menus and dialogs. The exit sequence and the single-instance rule are proven end to end.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "TestTree.h"
#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "menu/TodayMenu.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

const wchar_t kTestClass[] = L"TABULA_TEST_MAIN";

bool QuitPosted(WPARAM* code = nullptr)
{
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (code)
        *code = msg.wParam;
    return true;
}

class MainWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterMainWindowClass(g_hInstance, kTestClass); }

    void SetUp() override
    {
        window_ = CreateWindowExW(0, kTestClass, L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
        testtree::Reset(g_TodayMenu);
        testtree::BuildDefaults(g_TodayMenu);
        QuitPosted();
    }
    void TearDown() override
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
        QuitPosted();   // the window's WM_DESTROY posts one
    }
    LRESULT Command(WORD id, WORD code) { return SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), 0); }

    HWND window_ = nullptr;
};

}  // namespace

TEST_F(MainWindowTest, TapOpensTheRootMenuAtTheBottomRightOfTheVisibleDesktop)
{
    // With an icon in it, the task bar shows.
    g_TrayIcon.SetWindow(window_);
    g_TrayIcon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    g_TrayIcon.Add();
    RECT menuRect{};
    HMENU shown = nullptr;
    apptest::Watch watch([&] {
        HWND menu = apptest::VisibleMenuWindow();
        if (!menu)
            return false;
        GetWindowRect(menu, &menuRect);
        shown = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
        EndMenu();
        return true;
    });
    EXPECT_EQ(1, SendMessageW(window_, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN));   // wParam is not looked at
    ASSERT_TRUE(watch.done());
    EXPECT_EQ(g_TodayMenu.GetRootMenu(), shown);
    EXPECT_EQ(std::vector<int>({1, 0, 2, 3}), testtree::MenuIds(shown));
    const RECT visible = platform::VisibleDesktop();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), menuRect.right);
    EXPECT_EQ(visible.bottom, menuRect.bottom);
    // Not over the task bar.
    RECT bar{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &bar);
    EXPECT_LE(menuRect.bottom, bar.top);
    g_TrayIcon.Remove();
}

TEST_F(MainWindowTest, OnlyTheStylusTouchingTheIconOpensTheMenu)
{
    bool menuSeen = false;
    apptest::Watch watch([&] {
        if (apptest::VisibleMenuWindow()) {
            menuSeen = true;
            EndMenu();
        }
        return false;
    }, 1000);
    for (LPARAM mouse : {WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONDBLCLK})
        EXPECT_EQ(0, SendMessageW(window_, WM_TRAYNOTIFY, TRAY_ICON_ID, mouse)) << mouse;
    MSG msg;
    while (!watch.timedOut() && GetMessageW(&msg, nullptr, 0, 0))
        DispatchMessageW(&msg);
    EXPECT_FALSE(menuSeen);
}

TEST_F(MainWindowTest, AcceleratorCommandsAreRoutedApartFromMenuCommands)
{
    // Ctrl+Q reaches the default handling and changes nothing.
    EXPECT_EQ(0, Command(ID_QUIT_KEY, 1));
    EXPECT_TRUE(IsWindow(window_));
    EXPECT_FALSE(QuitPosted());

    // 40002 from the menu is a document launch: with no such entry, nothing opens.
    bool aboutSeen = false;
    {
        apptest::Watch watch([&] { return aboutSeen = apptest::FindThreadWindow(L"#32770", L"About Tabula") != nullptr; },
                             300);
        EXPECT_EQ(0, Command(ID_ABOUT, 0));
        MSG msg;
        while (!watch.timedOut() && !watch.done() && GetMessageW(&msg, nullptr, 0, 0))
            DispatchMessageW(&msg);
    }
    EXPECT_FALSE(aboutSeen);

    // Command 2 with a non-zero code ends the loop; the settings window does not open.
    WPARAM code = 99;
    EXPECT_EQ(1, Command(ID_CONFIGURATION, 1));
    EXPECT_TRUE(QuitPosted(&code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(IsWindow(window_));

    // Command 1 with a non-zero code closes the window, and its destruction ends the loop.
    EXPECT_EQ(0, Command(IDOK, 1));
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(QuitPosted());
}

TEST_F(MainWindowTest, MeasureAndDrawAnswerOnlyForMenuItems)
{
    CItem* configuration = g_TodayMenu.Root.FindItem(ID_CONFIGURATION_ENTRY);
    ASSERT_NE(nullptr, configuration);

    MEASUREITEMSTRUCT measure;
    memset(&measure, 0xAB, sizeof(measure));
    const MEASUREITEMSTRUCT untouched = measure;
    measure.itemData = reinterpret_cast<ULONG_PTR>(configuration);
    MEASUREITEMSTRUCT control = untouched;
    EXPECT_EQ(0, SendMessageW(window_, WM_MEASUREITEM, 5, reinterpret_cast<LPARAM>(&control)));
    EXPECT_EQ(0, memcmp(&control, &untouched, sizeof(control)));

    // A menu item's is answered by the measure handler (its fields are checked in ItemImageTests).
    EXPECT_EQ(1, SendMessageW(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(static_cast<UINT>(configuration->Width), measure.itemWidth);
    EXPECT_EQ(static_cast<UINT>(configuration->Height), measure.itemHeight);

    DRAWITEMSTRUCT draw;
    memset(&draw, 0xCD, sizeof(draw));
    const DRAWITEMSTRUCT drawUntouched = draw;
    EXPECT_EQ(0, SendMessageW(window_, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(0, memcmp(&draw, &drawUntouched, sizeof(draw)));
}
