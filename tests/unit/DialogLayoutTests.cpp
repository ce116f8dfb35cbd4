// Laying a live dialog out from a dialog template resource: the program's About templates and
// test-only templates (tests/unit/test_dialogs.rc) with missing controls, unnamed controls, lists.
#include <windows.h>

#include <gtest/gtest.h>

#include "MainWindowTestsHelpers.h"
#include "app/AboutBox.h"
#include "app/Globals.h"
#include "res/resource.h"

namespace {

constexpr int kMissingControlTemplate = 9101;
constexpr int kUnnamedControlsTemplate = 9102;
constexpr int kListsTemplate = 9103;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A live dialog made from a template, destroyed at the end of the test.
class LiveDialog {
public:
    explicit LiveDialog(int templateId)
    {
        HRSRC found = FindResourceW(g_hInstance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
        window_ = CreateDialogIndirectParamW(
            g_hInstance, static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(g_hInstance, found))), nullptr,
            PlainDialogProc, 0);
    }
    ~LiveDialog() { DestroyWindow(window_); }
    HWND get() const { return window_; }
private:
    HWND window_;
};

}  // namespace

TEST(DialogLayout, LandscapeTemplateMovesThePortraitBoxsControlsAndAMissingTemplateMovesNothing)
{
    LiveDialog box(IDD_ABOUT_PORTRAIT);
    ASSERT_NE(nullptr, box.get());
    const RECT before = apptest::ControlRect(box.get(), IDC_ABOUT_NAME);
    EXPECT_FALSE(ApplyDialogLayout(g_hInstance, box.get(), 9999));
    EXPECT_TRUE(apptest::SameRect(before, apptest::ControlRect(box.get(), IDC_ABOUT_NAME)));

    EXPECT_TRUE(ApplyDialogLayout(g_hInstance, box.get(), IDD_ABOUT_LANDSCAPE));
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 48, 12, 66, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NAME)));
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 48, 24, 66, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NOTE)));

    EXPECT_TRUE(ApplyDialogLayout(g_hInstance, box.get(), IDD_ABOUT_PORTRAIT));
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 12, 36, 70, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NAME)));
}

TEST(DialogLayout, AControlTheDialogLacksIsSkippedAndTheOthersStillMove)
{
    LiveDialog box(IDD_ABOUT_PORTRAIT);
    EXPECT_FALSE(ApplyDialogLayout(g_hInstance, box.get(), kMissingControlTemplate));
    // The controls before and after the missing one moved.
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 100, 80, 40, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NOTE)));
    RECT icon = apptest::ControlRect(box.get(), IDC_ABOUT_ICON);
    RECT expected = apptest::DialogUnits(box.get(), 100, 50, 21, 20);
    EXPECT_EQ(expected.left, icon.left);
    EXPECT_EQ(expected.top, icon.top);
    // Its text came back from the template.
    wchar_t text[32] = {};
    GetDlgItemTextW(box.get(), IDC_ABOUT_NOTE, text, 32);
    EXPECT_STREQ(L"Note", text);
    // A control the template does not list stays where it was.
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 12, 36, 70, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NAME)));
}

TEST(DialogLayout, TwoUnnamedControlsFailTheLayoutButEveryControlIsProcessed)
{
    LiveDialog box(kUnnamedControlsTemplate);
    ASSERT_NE(nullptr, box.get());
    SetWindowPos(GetDlgItem(box.get(), IDC_ABOUT_NAME), nullptr, 0, 0, 5, 5, SWP_NOZORDER);
    EXPECT_FALSE(ApplyDialogLayout(g_hInstance, box.get(), kUnnamedControlsTemplate));
    EXPECT_TRUE(apptest::SameRect(apptest::DialogUnits(box.get(), 90, 90, 50, 8), apptest::ControlRect(box.get(), IDC_ABOUT_NAME)));
}

TEST(DialogLayout, ListsKeepTheirSelectionTextsComeBackAMissingIconKeepsTheImage)
{
    LiveDialog box(kListsTemplate);
    ASSERT_NE(nullptr, box.get());
    HWND list = GetDlgItem(box.get(), 301), combo = GetDlgItem(box.get(), 302);
    for (const wchar_t* entry : {L"one", L"two", L"three"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    }
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SetDlgItemTextW(box.get(), 303, L"changed");
    HICON image = LoadIconW(nullptr, IDI_APPLICATION);
    SendDlgItemMessageW(box.get(), 304, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));

    EXPECT_TRUE(ApplyDialogLayout(g_hInstance, box.get(), kListsTemplate));
    EXPECT_EQ(2, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(1, SendMessageW(combo, CB_GETCURSEL, 0, 0));
    wchar_t text[32] = {};
    GetDlgItemTextW(box.get(), 303, text, 32);
    EXPECT_STREQ(L"Caption", text);
    EXPECT_EQ(reinterpret_cast<LRESULT>(image), SendDlgItemMessageW(box.get(), 304, STM_GETIMAGE, IMAGE_ICON, 0));
}
