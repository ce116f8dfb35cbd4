// The real prompts of the pages, without the test answers: the message box and the open-file dialog
// appear on the desktop and are answered by finding them, typing and pressing their buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"

using namespace settingstest;

namespace {

// The words of a text, one space between them: how it reads, whatever its line breaks.
std::wstring Words(const std::wstring& text)
{
    std::wstring words;
    for (wchar_t c : text) {
        const bool blank = c == L' ' || c == L'\n' || c == L'\r';
        if (!blank)
            words += c;
        else if (!words.empty() && words.back() != L' ')
            words += L' ';
    }
    return words;
}

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
    RECT placed{};
    ModalDriver driver([&] {
        HWND box = FindThreadWindow(L"Error");
        if (!box)
            return false;
        GetWindowRect(box, &placed);
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
    EXPECT_EQ(Words(text), L"The selected item is not removable item. Please select another item to remove");
    EXPECT_NE(text.find(L"item.\n"), std::wstring::npos);   // the two sentences stay on lines of their own
    // The box fits on the small screen, so none of its text is cut.
    EXPECT_GE(placed.left, 0);
    EXPECT_LE(placed.right, GetSystemMetrics(SM_CXSCREEN));
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
