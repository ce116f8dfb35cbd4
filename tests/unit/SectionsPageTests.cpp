// The Sections page: the whole top level, reordered and extended, stored after every change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/DocumentsPage.h"

using namespace settingstest;

namespace {

const std::wstring kRefusal = L"The selected item is not removable item.\nPlease select another item to remove";

using SectionsPage = SettingsWindowTest;

TEST_F(SectionsPage, ListsTheDefaultTreeWithTheFirstItemSelected)
{
    EXPECT_EQ(ListTexts(SectionsList()),
              (std::vector<std::wstring>{L"My Documents", L"-----------------", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(SelectedIndices(SectionsList()), (std::vector<int>{0}));
    EXPECT_EQ(ListView_GetColumnWidth(SectionsList(), 0), [&] {
        RECT client{};
        GetClientRect(SectionsList(), &client);
        return static_cast<int>(client.right);
    }());
}

TEST_F(SectionsPage, UpOnTheFirstAndDownOnTheLastChangeAndSaveNothing)
{
    Tap(SectionsList(), 0);
    Press(sections, IDC_MOVE_UP);
    Tap(SectionsList(), 3);
    Press(sections, IDC_MOVE_DOWN);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_FALSE(StoreExists());

    // Without a selected item the buttons do nothing either.
    ListView_SetItemState(SectionsList(), -1, 0, LVIS_SELECTED);
    Press(sections, IDC_MOVE_DOWN);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_TRUE(prompts.empty());
    EXPECT_FALSE(StoreExists());
}

TEST_F(SectionsPage, MovingExitUpPutsItBeforeConfigurationEverywhereAndKeepsItSelected)
{
    Tap(SectionsList(), 3);
    Press(sections, IDC_MOVE_UP);
    EXPECT_EQ(ListTexts(SectionsList()),
              (std::vector<std::wstring>{L"My Documents", L"-----------------", L"Exit", L"Configuration"}));
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 3, 2}));
    EXPECT_EQ(SelectedIndices(SectionsList()), (std::vector<int>{2}));

    // The moved entry stays the one that the buttons act on.
    Press(sections, IDC_MOVE_UP);
    Press(sections, IDC_MOVE_UP);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{3, 1, 4, 2}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{3, 1, 4, 2}));
    Press(sections, IDC_MOVE_DOWN);
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(SelectedIndices(SectionsList()), (std::vector<int>{1}));
}

TEST_F(SectionsPage, BuiltinEntriesAreRefusedWithTheTwoLineMessage)
{
    for (int index = 0; index < 4; ++index) {
        Tap(SectionsList(), index);
        Press(sections, IDC_SECTIONS_DELETE);
    }
    ASSERT_EQ(prompts.size(), 4u);
    for (const Prompt& prompt : prompts) {
        EXPECT_EQ(prompt.text, kRefusal);
        EXPECT_EQ(prompt.caption, L"Error");
        EXPECT_EQ(prompt.flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
        EXPECT_EQ(prompt.owner, sections);
    }
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(ListView_GetItemCount(SectionsList()), 4);
    EXPECT_FALSE(StoreExists());
}

TEST_F(SectionsPage, AddedSeparatorsGetTheirOwnIdsAndCanBeDeleted)
{
    Press(sections, IDC_ADD_SEPARATOR);
    Press(sections, IDC_ADD_SEPARATOR);
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3, 5, 6}));
    EXPECT_EQ(ListTexts(SectionsList())[5], L"-----------------");
    EXPECT_TRUE(SelectedIndices(SectionsList()).empty());
    const auto stored = ReadStoredLevel();
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(stored[4].type, 3u);
    EXPECT_FALSE(stored[4].hasName);
    EXPECT_EQ(GetMenuState(g_TodayMenu.GetRootMenu(), 5, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));

    Tap(SectionsList(), 4);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_TRUE(prompts.empty());
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3, 6}));
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 2, 3, 0}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 2, 3, 6}));
}

TEST_F(SectionsPage, AddedDocumentGoesToTheEndOfTheTopLevelAndShowsOnTheDocumentsPage)
{
    ChooseSection(0);
    AnswerFilePicker(L"C:\\windows\\win.ini");
    Press(sections, IDC_ADD_DOCUMENT);
    EXPECT_EQ(ListTexts(SectionsList()).back(), L"win");
    EXPECT_EQ(ListTexts(DocumentsList()).back(), L"win");
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()).back(), 5);
    const auto stored = ReadStoredLevel();
    ASSERT_EQ(stored.size(), 5u);
    EXPECT_EQ(stored[4].name, L"C:\\windows\\win.ini");
    EXPECT_EQ(stored[4].type, 1u);

    // A cancelled picker changes and stores nothing.
    DeleteStore();
    AnswerFilePicker(L"");
    Press(sections, IDC_ADD_DOCUMENT);
    EXPECT_EQ(ListView_GetItemCount(SectionsList()), 5);
    EXPECT_FALSE(StoreExists());
}

TEST_F(SectionsPage, DeletingASectionRemovesItFromTheSectionBoxWhichShowsGeneral)
{
    const int work = g_TodayMenu.AppendSection(L"Work", 0);
    g_TodayMenu.AppendDocument(L"C:\\work.txt", work);
    const HMENU sub = g_TodayMenu.Root.FindItem(work)->Children->Menu;
    RefreshDocumentsPage();
    RefreshSectionsPage();
    ChooseSection(1);
    ASSERT_EQ(CurrentDocumentsSection(), work);
    ASSERT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"work"}));

    Tap(SectionsList(), 4);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General"}));
    EXPECT_EQ(SendMessageW(SectionBox(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(CurrentDocumentsSection(), 0);
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"My Documents", L"Configuration", L"Exit"}));
    EXPECT_EQ(GetMenuItemCount(g_TodayMenu.GetRootMenu()), 4);
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 2, 3}));
}

TEST_F(SectionsPage, AChangeOnTheSectionsPageBringsTheDocumentsPageBackToGeneral)
{
    const int work = g_TodayMenu.AppendSection(L"Work", 0);
    RefreshDocumentsPage();
    RefreshSectionsPage();
    ChooseSection(1);
    ASSERT_EQ(CurrentDocumentsSection(), work);

    // +s leaves the Documents page as it is: it shows no separators.
    Press(sections, IDC_ADD_SEPARATOR);
    EXPECT_EQ(CurrentDocumentsSection(), work);

    Tap(SectionsList(), 0);
    Press(sections, IDC_MOVE_DOWN);
    EXPECT_EQ(CurrentDocumentsSection(), 0);
    EXPECT_EQ(SendMessageW(SectionBox(), CB_GETCURSEL, 0, 0), 0);

    // So a following +Doc on the Documents page adds to the top level.
    AnswerFilePicker(L"C:\\notes.txt");
    Press(documents, IDC_ADD_DOCUMENT);
    EXPECT_EQ(g_TodayMenu.Root.Items.back()->Caption, L"notes");
    EXPECT_TRUE(g_TodayMenu.Root.FindItem(work)->Children->Items.empty());
}

}  // namespace
