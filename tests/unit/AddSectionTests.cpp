// The Add Section dialog, shown for real over the Sections page and answered as a user would: the
// name typed into its box, its buttons or keys pressed.
#include <gtest/gtest.h>

#include "SettingsTests.h"

using namespace settingstest;

namespace {

using AddSection = SettingsWindowTest;

// Types the name into the open Add Section dialog, then presses the button.
std::function<bool()> TypeAndPress(const std::wstring& name, int button)
{
    return [name, button] {
        HWND dialog = FindThreadWindow(L"Add Section");
        if (!dialog)
            return false;
        SetDlgItemTextW(dialog, IDC_SECTION_NAME, name.c_str());
        Click(dialog, button);
        return true;
    };
}

TEST_F(AddSection, OkAppendsAGrayedTopLevelSectionThatEveryListShows)
{
    apptest::Watch driver(TypeAndPress(L"Work", IDC_ADD_SECTION_OK));
    Press(sections, IDC_ADD_SECTION);
    ASSERT_TRUE(driver.done());
    EXPECT_EQ(ListTexts(SectionsList()).back(), L"Work");
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General", L"Work"}));
    const HMENU root = g_TodayMenu.GetRootMenu();
    EXPECT_EQ(GetSubMenu(root, 4), g_TodayMenu.Root.FindItem(5)->Children->Menu);
    EXPECT_TRUE(testtree::IsGrayed(root, 4));
    EXPECT_EQ(StoredLevel()[4].type, 2u);
    EXPECT_EQ(StoredLevel()[4].name, L"Work");

    DeleteStore();
    apptest::Watch cancel(TypeAndPress(L"Never", IDC_ADD_SECTION_CANCEL));
    Press(sections, IDC_ADD_SECTION);
    ASSERT_TRUE(cancel.done());
    EXPECT_EQ(GetMenuItemCount(root), 5);
    EXPECT_FALSE(StoreExists());
}

TEST_F(AddSection, EscapeDoesNotCloseItAndEnterPressesOk)
{
    bool openAfterEscape = false;
    HWND dialog = nullptr;
    apptest::Watch driver([&] {
        if (!dialog) {
            dialog = FindThreadWindow(L"Add Section");
            if (dialog) {
                SetDlgItemTextW(dialog, IDC_SECTION_NAME, L"Keys");
                PostMessageW(GetDlgItem(dialog, IDC_SECTION_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
            }
            return false;
        }
        openAfterEscape = IsWindowVisible(dialog);
        PostMessageW(GetDlgItem(dialog, IDC_SECTION_NAME), WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
    Press(sections, IDC_ADD_SECTION);
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(ListTexts(SectionsList()).back(), L"Keys");
}

TEST_F(AddSection, NameIsTakenAsTypedUpTo255Characters)
{
    for (const std::wstring& name : {std::wstring(), std::wstring(L" Same "), std::wstring(L" Same "), std::wstring(300, L'n')}) {
        apptest::Watch driver(TypeAndPress(name, IDC_ADD_SECTION_OK));
        Press(sections, IDC_ADD_SECTION);
        ASSERT_TRUE(driver.done());
    }
    const auto& items = g_TodayMenu.Root.Items;
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[4]->Caption, L"");
    EXPECT_EQ(items[5]->Caption, L" Same ");
    EXPECT_EQ(items[6]->Caption, L" Same ");
    EXPECT_NE(items[5]->ID, items[6]->ID);
    EXPECT_EQ(items[7]->Caption, std::wstring(255, L'n'));
    EXPECT_EQ(BoxTexts(SectionBox())[1], L"");
}

}  // namespace
