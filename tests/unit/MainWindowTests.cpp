// The hidden main window: its routing of taps, menu commands and accelerator commands, the exit
// sequence and the single-instance rule, with the real menus, dialogs, shell and registry.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "TestTree.h"
#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/Shortcut.h"
#include "app/TryIcon.h"
#include "menu/TodayMenu.h"
#include "platform/ShellUi.h"
#include "res/resource.h"
#include "store/RegHelper.h"

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

    EXPECT_EQ(1, SendMessageW(window_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(static_cast<UINT>(ODT_MENU), measure.CtlType);
    EXPECT_EQ(0u, measure.CtlID);
    EXPECT_EQ(static_cast<UINT>(ID_CONFIGURATION_ENTRY), measure.itemID);
    EXPECT_EQ(static_cast<UINT>(configuration->Width), measure.itemWidth);
    EXPECT_EQ(static_cast<UINT>(configuration->Height), measure.itemHeight);

    DRAWITEMSTRUCT draw;
    memset(&draw, 0xCD, sizeof(draw));
    const DRAWITEMSTRUCT drawUntouched = draw;
    EXPECT_EQ(0, SendMessageW(window_, WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(0, memcmp(&draw, &drawUntouched, sizeof(draw)));
}

TEST_F(MainWindowTest, TaskbarCreatedPutsTheLostIconBack)
{
    g_TrayIcon.SetWindow(window_);
    g_TrayIcon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    g_TrayIcon.Add();
    // The shell restarts and has forgotten every icon.
    g_TrayIcon.Remove();
    ASSERT_FALSE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));

    SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));
    g_TrayIcon.Remove();
}

namespace {

// Runs "Exit" on the window and answers the question; reports what held while the question was shown.
struct ExitObservation {
    bool asked = false;
    bool iconGone = false;
    bool treeSaved = false;
};

ExitObservation RunExit(HWND window, int answer)
{
    ExitObservation seen;
    apptest::Watch watch([&] {
        HWND box = apptest::FindThreadWindow(L"#32770", L"Run on startup setting");
        if (!box)
            return false;
        seen.asked = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
        seen.iconGone = !apptest::ShellHasIcon(window, TRAY_ICON_ID);
        CTodayMenu stored;
        g_RegHelper.LoadTree(&stored);
        seen.treeSaved = stored.Root.Items.size() == 5 && stored.Root.Items.back()->Path == L"C:\\saved at exit.txt";
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
        return true;
    });
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    EXPECT_TRUE(watch.done());
    return seen;
}

}  // namespace

TEST_F(MainWindowTest, ExitSavesRemovesTheIconAsksAndWritesOrDeletesTheShortcut)
{
    std::wstring folder;
    ASSERT_TRUE(GetStartupFolder(folder));
    const std::wstring shortcut = BuildShortcutPath(RunningProgramPath(), folder);
    g_TodayMenu.AppendDocument(L"C:\\saved at exit.txt", 0);

    for (int answer : {IDYES, IDNO}) {
        g_TrayIcon.SetWindow(window_);
        g_TrayIcon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
        g_TrayIcon.Add();
        const ExitObservation seen = RunExit(window_, answer);
        EXPECT_TRUE(seen.asked);
        EXPECT_TRUE(seen.iconGone);
        EXPECT_TRUE(seen.treeSaved);
        EXPECT_EQ(answer == IDYES, GetFileAttributesW(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES) << answer;
        // The loop ends, but the window is left to the process.
        EXPECT_TRUE(QuitPosted());
        EXPECT_TRUE(IsWindow(window_));
        // Once the icon is gone for the exit, a restarting shell does not bring it back.
        SendMessageW(window_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        EXPECT_FALSE(apptest::ShellHasIcon(window_, TRAY_ICON_ID));
    }
    DeleteFileW(shortcut.c_str());
    testtree::Reset(g_TodayMenu);
    testtree::BuildDefaults(g_TodayMenu);
    g_RegHelper.SaveTree(&g_TodayMenu);
}

TEST(MainWindowStart, ASecondCopyFindsTheFirstAndStops)
{
    const HWND testMain = g_hMainWnd;
    ASSERT_TRUE(InitMainWindow(g_hInstance, SW_SHOW));
    const HWND first = g_hMainWnd;
    wchar_t className[32] = {}, title[32] = {};
    GetClassNameW(first, className, 32);
    GetWindowTextW(first, title, 32);
    EXPECT_STREQ(L"TABULA", className);
    EXPECT_STREQ(L"Tabula", title);
    EXPECT_FALSE(IsWindowVisible(first));

    EXPECT_FALSE(InitMainWindow(g_hInstance, SW_SHOW));
    EXPECT_EQ(first, g_hMainWnd);

    DestroyWindow(first);
    UnregisterClassW(L"TABULA", g_hInstance);
    g_hMainWnd = testMain;
    QuitPosted();
}
