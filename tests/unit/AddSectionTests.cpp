// The Add Section dialog, shown for real over the Sections page and answered as a user would: the
// name typed into its box, its buttons pressed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/AddSectionDialog.h"

using namespace settingstest;

namespace {

using AddSection = SettingsWindowTest;

// Types the name into the open Add Section dialog, then runs the finishing step on it.
ModalDriver::Step TypeAnd(const std::wstring& name, std::function<void(HWND)> finish)
{
    return [name, finish] {
        HWND dialog = FindThreadWindow(L"Add Section");
        if (!dialog)
            return false;
        SetDlgItemTextW(dialog, IDC_SECTION_NAME, name.c_str());
        finish(dialog);
        return true;
    };
}

TEST_F(AddSection, OkAppendsAGrayedSectionAtTheTopLevelAndEveryListShowsIt)
{
    HWND owner = nullptr;
    ModalDriver driver(TypeAnd(L"Work", [&](HWND dialog) {
        owner = GetWindow(dialog, GW_OWNER);
        Click(dialog, IDC_ADD_SECTION_OK);
    }));
    Press(sections, IDC_ADD_SECTION);
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(owner, GetAncestor(sections, GA_ROOT));   // the page owns it, through its top-level window

    EXPECT_EQ(ListTexts(SectionsList()).back(), L"Work");
    EXPECT_EQ(ListIds(SectionsList()).back(), 5);
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General", L"Work"}));
    const HMENU root = g_TodayMenu.GetRootMenu();
    EXPECT_EQ(GetSubMenu(root, 4), g_TodayMenu.Root.FindItem(5)->Children->Menu);
    EXPECT_TRUE(IsGrayedAt(root, 4));
    const auto stored = ReadStoredLevel();
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[4].type, 2u);
    EXPECT_EQ(stored[4].name, L"Work");
}

TEST_F(AddSection, CancelChangesNothingAndStoresNothing)
{
    ModalDriver driver(TypeAnd(L"Never", [](HWND dialog) { Click(dialog, IDC_ADD_SECTION_CANCEL); }));
    Press(sections, IDC_ADD_SECTION);
    ASSERT_TRUE(driver.Done());
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(GetMenuItemCount(g_TodayMenu.GetRootMenu()), 4);
    EXPECT_FALSE(StoreExists());
}

TEST_F(AddSection, EscapeDoesNotCloseItAndEnterPressesOk)
{
    bool stillOpenAfterEscape = false;
    int phase = 0;
    HWND dialog = nullptr;
    ModalDriver driver([&] {
        switch (phase) {
        case 0:
            dialog = FindThreadWindow(L"Add Section");
            if (!dialog)
                return false;
            SetDlgItemTextW(dialog, IDC_SECTION_NAME, L"Keys");
            PostMessageW(GetDlgItem(dialog, IDC_SECTION_NAME), WM_KEYDOWN, VK_ESCAPE, 0);
            phase = 1;
            return false;
        default:
            stillOpenAfterEscape = IsWindow(dialog) && IsWindowVisible(dialog);
            PostMessageW(GetDlgItem(dialog, IDC_SECTION_NAME), WM_KEYDOWN, VK_RETURN, 0);
            return true;
        }
    });
    Press(sections, IDC_ADD_SECTION);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(stillOpenAfterEscape);
    EXPECT_EQ(ListTexts(SectionsList()).back(), L"Keys");
    EXPECT_EQ(StoredIds().back(), 5);
}

TEST_F(AddSection, NameIsTakenAsTypedUpTo255Characters)
{
    const std::wstring names[] = {L"", L"  Same  ", L"  Same  ", std::wstring(300, L'n')};
    for (const std::wstring& name : names) {
        ModalDriver driver(TypeAnd(name, [](HWND dialog) { Click(dialog, IDC_ADD_SECTION_OK); }));
        Press(sections, IDC_ADD_SECTION);
        ASSERT_TRUE(driver.Done());
    }
    const auto& items = g_TodayMenu.Root.Items;
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[4]->Caption, L"");
    EXPECT_EQ(items[5]->Caption, L"  Same  ");
    EXPECT_EQ(items[6]->Caption, L"  Same  ");
    EXPECT_NE(items[5]->ID, items[6]->ID);
    EXPECT_EQ(items[7]->Caption, std::wstring(255, L'n'));
    EXPECT_EQ(ListTexts(SectionsList())[4], L"");
    EXPECT_EQ(BoxTexts(SectionBox()).size(), 5u);
}

}  // namespace
