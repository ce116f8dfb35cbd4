// The Sections page: the whole top level, reordered and extended, stored after every change.
#include <gtest/gtest.h>

#include "SettingsTests.h"

using namespace settingstest;
using testtree::Ids;
using testtree::MenuIds;

namespace {

using SectionsPage = SettingsWindowTest;

TEST_F(SectionsPage, ListsTheDefaultTreeMovesNothingPastItsEndsAndRefusesTheBuiltins)
{
    EXPECT_EQ(ListTexts(SectionsList()),
              (std::vector<std::wstring>{L"My Documents", L"-----------------", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(Selected(SectionsList()), (std::vector<int>{0}));

    Press(sections, IDC_MOVE_UP);
    Tap(SectionsList(), 3);
    Press(sections, IDC_MOVE_DOWN);
    ListView_SetItemState(SectionsList(), -1, 0, LVIS_SELECTED);   // nothing selected: no button acts
    Press(sections, IDC_MOVE_UP);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_TRUE(prompts.empty());

    for (int index = 0; index < 4; ++index) {
        Tap(SectionsList(), index);
        Press(sections, IDC_SECTIONS_DELETE);
    }
    ASSERT_EQ(prompts.size(), 4u);
    for (const Prompt& prompt : prompts) {
        EXPECT_EQ(prompt.text, L"The selected item is not removable item.\nPlease select another item to remove");
        EXPECT_EQ(prompt.caption, L"Error");
        EXPECT_EQ(prompt.flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
        EXPECT_EQ(prompt.owner, sections);
    }
    EXPECT_EQ(MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_FALSE(StoreExists());
}

TEST_F(SectionsPage, MovingExitUpReordersListMenuAndStoreAndKeepsItSelected)
{
    Tap(SectionsList(), 3);
    Press(sections, IDC_MOVE_UP);
    EXPECT_EQ(ListTexts(SectionsList())[2], L"Exit");
    EXPECT_EQ(MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 3, 2}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 3, 2}));
    EXPECT_EQ(Selected(SectionsList()), (std::vector<int>{2}));
    // The moved entry stays the one that the buttons act on.
    Press(sections, IDC_MOVE_UP);
    Press(sections, IDC_MOVE_UP);
    Press(sections, IDC_MOVE_DOWN);
    EXPECT_EQ(MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 3, 4, 2}));
}

TEST_F(SectionsPage, AddedSeparatorsHaveTheirOwnIdsAndCanBeDeleted)
{
    Press(sections, IDC_ADD_SEPARATOR);
    Press(sections, IDC_ADD_SEPARATOR);
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3, 5, 6}));
    EXPECT_EQ(ListTexts(SectionsList())[5], L"-----------------");
    EXPECT_EQ(StoredLevel()[4].type, 3u);
    Tap(SectionsList(), 4);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_TRUE(prompts.empty());
    EXPECT_EQ(MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{1, 0, 2, 3, 0}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 2, 3, 6}));
}

TEST_F(SectionsPage, PickedDocumentIsAppendedAndACancelledPickerChangesNothing)
{
    AnswerFilePicker(L"");
    Press(sections, IDC_ADD_DOCUMENT);
    EXPECT_EQ(ListView_GetItemCount(SectionsList()), 4);
    EXPECT_FALSE(StoreExists());

    AnswerFilePicker(L"C:\\windows\\win.ini");
    Press(sections, IDC_ADD_DOCUMENT);
    EXPECT_EQ(ListTexts(SectionsList()).back(), L"win");
    EXPECT_EQ(ListTexts(DocumentsList()).back(), L"win");
    EXPECT_EQ(MenuIds(g_TodayMenu.GetRootMenu()).back(), 5);
    EXPECT_EQ(StoredLevel().back().name, L"C:\\windows\\win.ini");
}

TEST_F(SectionsPage, DeletingTheShownSectionBringsTheDocumentsPageBackToGeneral)
{
    const int work = g_TodayMenu.AppendSection(L"Work", 0);
    g_TodayMenu.AppendDocument(L"C:\\work.txt", work);
    const HMENU sub = g_TodayMenu.Root.FindItem(work)->Children->Menu;
    Open();
    ChooseSection(1);
    ASSERT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"work"}));
    Press(sections, IDC_ADD_SEPARATOR);   // the Documents page shows no separators: it stays
    EXPECT_EQ(CurrentDocumentsSection(), work);

    Tap(SectionsList(), 4);
    Press(sections, IDC_SECTIONS_DELETE);
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General"}));
    EXPECT_EQ(SendMessageW(SectionBox(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ListIds(DocumentsList()), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 2, 3, 7}));

    // So a following +Doc on the Documents page adds to the top level.
    AnswerFilePicker(L"C:\\notes.txt");
    Press(documents, IDC_ADD_DOCUMENT);
    EXPECT_EQ(g_TodayMenu.Root.Items.back()->Caption, L"notes");
}

}  // namespace
