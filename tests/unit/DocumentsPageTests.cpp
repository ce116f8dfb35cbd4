// The Documents page: the documents of one list of the tree, chosen in the section box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/DocumentsPage.h"
#include "platform/Handles.h"

using namespace settingstest;

namespace {

using DocumentsPage = SettingsWindowTest;

TEST_F(DocumentsPage, ListsOnlyTheDocumentsOfTheDefaultTree)
{
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General"}));
    EXPECT_EQ(SendMessageW(SectionBox(), CB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(SendMessageW(SectionBox(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"My Documents", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(DocumentsList()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(SelectedIndices(DocumentsList()), (std::vector<int>{0}));
}

TEST_F(DocumentsPage, SectionBoxListsEverySectionInPreOrderWithItsId)
{
    Close();
    const int s1 = g_TodayMenu.AppendSection(L"S1", 0);
    const int inner = g_TodayMenu.AppendSection(L"Inner", s1);
    const int s2 = g_TodayMenu.AppendSection(L"S2", 0);
    const int deeper = g_TodayMenu.AppendSection(L"Deeper", inner);
    Open();
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General", L"S1", L"Inner", L"Deeper", L"S2"}));
    const std::vector<int> ids{0, s1, inner, deeper, s2};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(SendMessageW(SectionBox(), CB_GETITEMDATA, i, 0), ids[i]) << i;

    // Choosing an entry shows that list and selects nothing; nothing is stored.
    g_TodayMenu.AppendDocument(L"C:\\deep.txt", deeper);
    ChooseSection(3);
    EXPECT_EQ(CurrentDocumentsSection(), deeper);
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"deep"}));
    EXPECT_TRUE(SelectedIndices(DocumentsList()).empty());
    EXPECT_FALSE(StoreExists());
}

TEST_F(DocumentsPage, SwapSkipsSectionsAndSeparators)
{
    Close();
    testtree::Reset(g_TodayMenu);
    const int a = g_TodayMenu.AppendDocument(L"C:\\A.txt", 0);
    const int s = g_TodayMenu.AppendSection(L"S", 0);
    const int separator = g_TodayMenu.AppendSeparator(0);
    const int b = g_TodayMenu.AppendDocument(L"C:\\B.txt", 0);
    Open();
    ASSERT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"A", L"B"}));

    Tap(DocumentsList(), 0);
    Press(documents, IDC_MOVE_DOWN);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{b, s, separator, a}));
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{b, -1, 0, a}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{b, s, separator, a}));
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"B", L"A"}));
    EXPECT_EQ(SelectedIndices(DocumentsList()), (std::vector<int>{1}));
    // The Sections page shows the new order at once.
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{b, s, separator, a}));

    // The moved document stays the one the buttons act on; Down on the last one does nothing.
    DeleteStore();
    Press(documents, IDC_MOVE_DOWN);
    EXPECT_FALSE(StoreExists());
    Press(documents, IDC_MOVE_UP);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{a, s, separator, b}));
    EXPECT_EQ(SelectedIndices(DocumentsList()), (std::vector<int>{0}));
}

TEST_F(DocumentsPage, NewSectionIsGrayedUntilItsFirstDocumentIsAdded)
{
    const int work = g_TodayMenu.AppendSection(L"Work", 0);
    RefreshDocumentsPage();
    const HMENU root = g_TodayMenu.GetRootMenu();
    ASSERT_TRUE(IsGrayedAt(root, 4));

    ChooseSection(1);
    EXPECT_EQ(ListView_GetItemCount(DocumentsList()), 0);
    AnswerFilePicker(L"C:\\windows\\win.ini");
    Press(documents, IDC_ADD_DOCUMENT);
    EXPECT_FALSE(IsGrayedAt(root, 4));
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"win"}));
    EXPECT_TRUE(SelectedIndices(DocumentsList()).empty());
    EXPECT_EQ(CurrentDocumentsSection(), work);   // the page stays on the section

    const auto stored = ReadStoredLevel(std::wstring(kStoreKey) + L"\\" + std::to_wstring(work));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, L"C:\\windows\\win.ini");

    // Deleting it again grays the section; no refusal for an ordinary document.
    Tap(DocumentsList(), 0);
    Press(documents, IDC_DOCUMENTS_DELETE);
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(IsGrayedAt(root, 4));
    EXPECT_EQ(ListView_GetItemCount(DocumentsList()), 0);
    EXPECT_TRUE(ReadStoredLevel(std::wstring(kStoreKey) + L"\\" + std::to_wstring(work)).empty());
}

TEST_F(DocumentsPage, BuiltinDocumentsAreRefused)
{
    for (int index = 0; index < 3; ++index) {
        Tap(DocumentsList(), index);
        Press(documents, IDC_DOCUMENTS_DELETE);
    }
    ASSERT_EQ(prompts.size(), 3u);
    for (const Prompt& prompt : prompts) {
        EXPECT_EQ(prompt.text, L"You cannot remove selected item");
        EXPECT_EQ(prompt.caption, L"Error");
        EXPECT_EQ(prompt.flags, static_cast<UINT>(MB_OK | MB_ICONHAND));
        EXPECT_EQ(prompt.owner, documents);
    }
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_FALSE(StoreExists());
}

TEST_F(DocumentsPage, DeletingADocumentUpdatesTheSectionsPage)
{
    AnswerFilePicker(L"C:\\windows\\win.ini");
    Press(documents, IDC_ADD_DOCUMENT);
    ASSERT_EQ(ListTexts(SectionsList()).back(), L"win");
    Tap(DocumentsList(), 3);
    Press(documents, IDC_DOCUMENTS_DELETE);
    EXPECT_EQ(ListIds(SectionsList()), (std::vector<int>{1, 4, 2, 3}));
    EXPECT_EQ(ListIds(DocumentsList()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(StoredIds(), (std::vector<int>{1, 4, 2, 3}));
}

// The label's pixels as they are on the screen.
int DarkPixelsOf(HWND label)
{
    RECT area{};
    GetClientRect(label, &area);
    handles::window_dc dc(label);
    int dark = 0;
    for (int y = 0; y < area.bottom; ++y) {
        for (int x = 0; x < area.right; ++x) {
            const COLORREF c = GetPixel(dc.get(), x, y);
            dark += c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    }
    return dark;
}

TEST_F(DocumentsPage, SectionLabelKeepsItsTextWhenRepaintedAlone)
{
    SwitchTab(1);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    HWND label = GetDlgItem(documents, IDC_SECTION_LABEL);
    const int painted = DarkPixelsOf(label);
    EXPECT_GT(painted, 20);

    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    EXPECT_EQ(DarkPixelsOf(label), painted);
}

}  // namespace
