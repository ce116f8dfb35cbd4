// The real prompts of the pages, without the test answers: the message box and the open-file dialog
// appear on the desktop and are answered by finding them, typing and pressing their buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST_F(RealPrompts, RefusalIsARealMessageBoxOwnedByThePage)
{
    std::wstring text;
    HWND owner = nullptr;
    ModalDriver driver([&] {
        HWND box = FindThreadWindow(L"Error");
        if (!box)
            return false;
        wchar_t shown[512] = {};
        GetDlgItemTextW(box, 0xFFFF, shown, 512);   // the message box's text control
        text = shown;
        owner = GetWindow(box, GW_OWNER);
        Click(box, IDOK);
        return true;
    });
    Tap(SectionsList(), 3);
    Press(sections, IDC_SECTIONS_DELETE);
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(text, L"The selected item is not removable item.\nPlease select another item to remove");
    EXPECT_EQ(owner, window);   // the page's top-level window
    EXPECT_EQ(ListView_GetItemCount(SectionsList()), 4);
}

TEST_F(RealPrompts, OpenFileDialogPicksTheTypedFile)
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tabula report.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);

    ModalDriver driver([&] {
        HWND dialog = FindThreadWindow(L"Add Document");
        if (!dialog)
            return false;
        // The file name box is the dialog's first visible edit control.
        HWND edit = nullptr;
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM param) -> BOOL {
                wchar_t name[32] = {};
                GetClassNameW(child, name, 32);
                if (_wcsicmp(name, L"Edit") != 0 || !IsWindowVisible(child))
                    return TRUE;
                *reinterpret_cast<HWND*>(param) = child;
                return FALSE;
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
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(ListTexts(DocumentsList()).back(), L"tabula report");
    const auto stored = ReadStoredLevel();
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(_wcsicmp(stored[4].name.c_str(), path.c_str()), 0) << stored[4].name;
    DeleteFileW(path.c_str());
}

}  // namespace
