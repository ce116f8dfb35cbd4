// The real prompts of the pages, without the test answers: the message box and the open-file dialog
// appear on the desktop and are answered by finding them, typing and pressing their buttons.
#include <gtest/gtest.h>

#include "SettingsTests.h"

using namespace settingstest;

namespace {

class RealPrompts : public SettingsWindowTest {
protected:
    void SetUp() override
    {
        SettingsWindowTest::SetUp();
        platform::SetMessageAnswer({});
        platform::SetOpenFileAnswer({});
        ShowWindow(window, SW_SHOW);
    }
};

TEST_F(RealPrompts, RefusalIsAMessageBoxThatFitsTheSmallScreen)
{
    std::wstring text;
    RECT placed{};
    apptest::Watch driver([&] {
        HWND box = FindThreadWindow(L"Error");
        if (!box)
            return false;
        wchar_t shown[512] = {};
        GetDlgItemTextW(box, 0xFFFF, shown, 512);   // the message box's text control
        text = shown;
        GetWindowRect(box, &placed);
        Click(box, IDOK);
        return true;
    });
    Tap(SectionsList(), 3);
    Press(sections, IDC_SECTIONS_DELETE);
    ASSERT_TRUE(driver.done());
    // Long lines are broken at spaces to fit; no word is lost.
    for (wchar_t& c : text)
        c = c == L'\n' ? L' ' : c;
    EXPECT_EQ(text, L"The selected item is not removable item. Please select another item to remove");
    EXPECT_GE(placed.left, 0);
    EXPECT_LE(placed.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ListView_GetItemCount(SectionsList()), 4);
}

TEST_F(RealPrompts, OpenFileDialogPicksTheTypedFile)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tabula report.txt";
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    apptest::Watch driver([&] {
        HWND dialog = FindThreadWindow(L"Add Document");
        if (!dialog)
            return false;
        HWND edit = nullptr;   // the file name box: the dialog's first visible edit control
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM found) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(child, name, 16);
                if (_wcsicmp(name, L"Edit") == 0 && IsWindowVisible(child))
                    *reinterpret_cast<HWND*>(found) = child;
                return !*reinterpret_cast<HWND*>(found);
            },
            reinterpret_cast<LPARAM>(&edit));
        if (!edit)
            return false;
        SetWindowTextW(edit, path.c_str());
        Click(dialog, IDOK);
        return true;
    });
    SwitchTab(1);
    Press(documents, IDC_ADD_DOCUMENT);
    ASSERT_TRUE(driver.done());
    EXPECT_EQ(ListTexts(DocumentsList()).back(), L"tabula report");
    EXPECT_EQ(_wcsicmp(StoredLevel().back().name.c_str(), path.c_str()), 0) << StoredLevel().back().name;
    DeleteFileW(path.c_str());
}

}  // namespace
