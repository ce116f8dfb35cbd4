// The About box: how it opens, how it ends, and its layout for the shape of the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "app/AboutBox.h"
#include "app/Globals.h"
#include "app/MainWindow.h"
#include "platform/ShellUi.h"
#include "res/resource.h"

namespace {

INT_PTR RunAbout(const std::function<bool(HWND)>& step)
{
    apptest::Watch watch([&] {
        HWND box = apptest::FindThreadWindow(L"#32770", L"About Tabula");
        return box && step(box);
    });
    HRSRC found = FindResourceW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUT_PORTRAIT), RT_DIALOG);
    const INT_PTR result = DialogBoxIndirectParamW(
        g_hInstance, static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(g_hInstance, found))), g_hMainWnd,
        AboutDlgProc, 0);
    EXPECT_TRUE(watch.done());
    return result;
}

// Portrait: the two lines below the icon; landscape: right of it, as the templates place them.
bool ShowsPortrait(HWND box)
{
    return apptest::SameRect(apptest::DialogUnits(box, 12, 36, 70, 8), apptest::ControlRect(box, IDC_ABOUT_NAME)) &&
           apptest::SameRect(apptest::DialogUnits(box, 12, 48, 66, 8), apptest::ControlRect(box, IDC_ABOUT_NOTE));
}
bool ShowsLandscape(HWND box)
{
    return apptest::SameRect(apptest::DialogUnits(box, 48, 12, 66, 8), apptest::ControlRect(box, IDC_ABOUT_NAME)) &&
           apptest::SameRect(apptest::DialogUnits(box, 48, 24, 66, 8), apptest::ControlRect(box, IDC_ABOUT_NOTE));
}

bool FillsVisibleDesktop(HWND box)
{
    RECT rect{};
    GetWindowRect(box, &rect);
    const RECT visible = platform::VisibleDesktop();
    return apptest::SameRect(rect, visible);
}

bool SetScreen(int width, int height)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// Turns the screen back to portrait whatever a test did.
struct PortraitAgain {
    ~PortraitAgain() { SetScreen(240, 320); }
};

}  // namespace

TEST(AboutBox, CtrlACommandOpensItOwnedByTheMainWindowFullScreenInPortrait)
{
    RegisterMainWindowClass(g_hInstance, L"TABULA_TEST_ABOUT");
    HWND main = CreateWindowExW(0, L"TABULA_TEST_ABOUT", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    HWND owner = nullptr;
    bool portrait = false, fills = false;
    apptest::Watch watch([&] {
        HWND box = apptest::FindThreadWindow(L"#32770", L"About Tabula");
        if (!box)
            return false;
        owner = GetWindow(box, GW_OWNER);
        portrait = ShowsPortrait(box);
        fills = FillsVisibleDesktop(box);
        SendMessageW(box, WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(0, SendMessageW(main, WM_COMMAND, MAKEWPARAM(ID_ABOUT, 1), 0));
    EXPECT_TRUE(watch.done());
    EXPECT_EQ(main, owner);
    EXPECT_TRUE(portrait);
    EXPECT_TRUE(fills);
    DestroyWindow(main);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(AboutBox, OkEndsWithOneCloseWithSixteenOtherCommandsDoNothing)
{
    int ticks = 0;
    EXPECT_EQ(1, RunAbout([&](HWND box) {
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    }));
    EXPECT_EQ(16, RunAbout([&](HWND box) {
        // The first visit sends commands that must leave the box open; the next one closes it.
        if (ticks++ == 0) {
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(1234, 0), 0);
            return false;
        }
        SendMessageW(box, WM_CLOSE, 0, 0);
        return true;
    }));
    EXPECT_EQ(2, ticks);
}

TEST(AboutBox, ShowsTheProgramIconAtItsOwnSize)
{
    int width = 0, height = 0;
    RunAbout([&](HWND box) {
        HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_GETIMAGE, IMAGE_ICON, 0));
        ICONINFO info{};
        if (icon && GetIconInfo(icon, &info)) {
            BITMAP bitmap{};
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
            width = bitmap.bmWidth;
            height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
        SendMessageW(box, WM_CLOSE, 0, 0);
        return true;
    });
    EXPECT_EQ(32, width);
    EXPECT_EQ(32, height);
}

TEST(AboutBox, TurningTheScreenMovesTheControlsToTheOtherTemplate)
{
    PortraitAgain restore;
    enum { Portrait, Landscape, Back, Done } stage = Portrait;
    bool filledLandscape = false;
    RunAbout([&](HWND box) {
        switch (stage) {
        case Portrait:
            if (!ShowsPortrait(box))
                return false;
            if (!SetScreen(320, 240))
                return true;   // the display cannot turn: the checks below fail
            stage = Landscape;
            return false;
        case Landscape:
            if (!ShowsLandscape(box))
                return false;
            filledLandscape = FillsVisibleDesktop(box) && platform::VisibleDesktop().right == 320;
            SetScreen(240, 320);
            stage = Back;
            return false;
        case Back:
            if (!ShowsPortrait(box))
                return false;
            stage = Done;
            SendMessageW(box, WM_CLOSE, 0, 0);
            return true;
        default:
            return true;
        }
    });
    EXPECT_EQ(Done, stage);
    EXPECT_TRUE(filledLandscape);
}

TEST(AboutBox, ASquareScreenCountsAsLandscape)
{
    EXPECT_EQ(IDD_ABOUT_PORTRAIT, AboutTemplateFor(240, 320));
    EXPECT_EQ(IDD_ABOUT_LANDSCAPE, AboutTemplateFor(320, 240));
    EXPECT_EQ(IDD_ABOUT_LANDSCAPE, AboutTemplateFor(240, 240));
}
