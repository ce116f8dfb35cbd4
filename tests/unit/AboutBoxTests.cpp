// The About box: how it ends, its icon, and the choice of template for the shape of the screen. How it
// opens and turns with the screen is proven end to end (tests/e2e/about.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "app/AboutBox.h"
#include "app/Globals.h"
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

}  // namespace

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

TEST(AboutBox, ASquareScreenCountsAsLandscape)
{
    EXPECT_EQ(IDD_ABOUT_PORTRAIT, AboutTemplateFor(240, 320));
    EXPECT_EQ(IDD_ABOUT_LANDSCAPE, AboutTemplateFor(320, 240));
    EXPECT_EQ(IDD_ABOUT_LANDSCAPE, AboutTemplateFor(240, 240));
}

TEST(AboutBox, ShowsTheProgramIconAtItsOwnSizeAndItsCaptionCloseStandsForTheDevicesOk)
{
    int width = 0, height = 0;
    LONG_PTR style = 0, exStyle = 0;
    EXPECT_EQ(16, RunAbout([&](HWND box) {
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
        style = GetWindowLongPtrW(box, GWL_STYLE);
        exStyle = GetWindowLongPtrW(box, GWL_EXSTYLE);
        SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);   // what a click on the caption's button sends
        return true;
    }));
    EXPECT_EQ(32, width);
    EXPECT_EQ(32, height);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(exStyle & 0x80000000);   // the device's caption-OK style is not left to the desktop
}
