// The Documents page: the documents of one list of the tree, chosen in the section box.
#include <gtest/gtest.h>

#include "SettingsTests.h"
#include "platform/Handles.h"

using namespace settingstest;

namespace {

using DocumentsPage = SettingsWindowTest;

TEST_F(DocumentsPage, ListsDocumentsOnlyRefusesTheBuiltinsAndListsEverySectionInPreOrder)
{
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General"}));
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"My Documents", L"Configuration", L"Exit"}));
    EXPECT_EQ(ListIds(DocumentsList()), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Selected(DocumentsList()), (std::vector<int>{0}));

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

    const int s1 = g_TodayMenu.AppendSection(L"S1", 0);
    const int inner = g_TodayMenu.AppendSection(L"Inner", s1);
    const int s2 = g_TodayMenu.AppendSection(L"S2", 0);
    const int deeper = g_TodayMenu.AppendSection(L"Deeper", inner);
    g_TodayMenu.AppendDocument(L"C:\\deep.txt", deeper);
    Open();
    EXPECT_EQ(BoxTexts(SectionBox()), (std::vector<std::wstring>{L"General", L"S1", L"Inner", L"Deeper", L"S2"}));
    const int ids[] = {0, s1, inner, deeper, s2};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(SendMessageW(SectionBox(), CB_GETITEMDATA, i, 0), ids[i]) << i;

    // Choosing an entry shows its list with nothing selected; neither the refusals nor this stored anything.
    ChooseSection(3);
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"deep"}));
    EXPECT_TRUE(Selected(DocumentsList()).empty());
    EXPECT_FALSE(StoreExists());
}

TEST_F(DocumentsPage, SwapsWithTheNeighbouringDocumentOverSectionsAndSeparators)
{
    testtree::Reset(g_TodayMenu);
    const int a = g_TodayMenu.AppendDocument(L"C:\\A.txt", 0);
    const int s = g_TodayMenu.AppendSection(L"S", 0);
    const int separator = g_TodayMenu.AppendSeparator(0);
    const int b = g_TodayMenu.AppendDocument(L"C:\\B.txt", 0);
    Open();
    ASSERT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"A", L"B"}));

    Tap(DocumentsList(), 0);
    Press(documents, IDC_MOVE_DOWN);
    const std::vector<int> swapped{b, s, separator, a};
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), swapped);
    EXPECT_EQ(testtree::MenuIds(g_TodayMenu.GetRootMenu()), (std::vector<int>{b, -1, 0, a}));
    EXPECT_EQ(StoredIds(), swapped);
    EXPECT_EQ(ListIds(SectionsList()), swapped);   // the Sections page follows at once
    EXPECT_EQ(Selected(DocumentsList()), (std::vector<int>{1}));

    // The moved document stays the one the buttons act on; Down on the last one does nothing.
    DeleteStore();
    Press(documents, IDC_MOVE_DOWN);
    EXPECT_FALSE(StoreExists());
    Press(documents, IDC_MOVE_UP);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{a, s, separator, b}));
}

TEST_F(DocumentsPage, NewSectionIsGrayedUntilItsFirstDocumentIsAdded)
{
    const int work = g_TodayMenu.AppendSection(L"Work", 0);
    RefreshDocumentsPage();
    const HMENU root = g_TodayMenu.GetRootMenu();
    ASSERT_TRUE(testtree::IsGrayed(root, 4));
    ChooseSection(1);
    EXPECT_EQ(ListView_GetItemCount(DocumentsList()), 0);

    AnswerFilePicker(L"C:\\windows\\win.ini");
    Press(documents, IDC_ADD_DOCUMENT);
    EXPECT_FALSE(testtree::IsGrayed(root, 4));
    EXPECT_EQ(ListTexts(DocumentsList()), (std::vector<std::wstring>{L"win"}));
    EXPECT_EQ(StoredLevel(std::to_wstring(work))[0].name, L"C:\\windows\\win.ini");

    // Deleting it grays the section again; an ordinary document is deleted without a question.
    Tap(DocumentsList(), 0);
    Press(documents, IDC_DOCUMENTS_DELETE);
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(testtree::IsGrayed(root, 4));
    EXPECT_TRUE(StoredLevel(std::to_wstring(work)).empty());
}

int DarkPixels(HWND label)
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
    const int painted = DarkPixels(label);
    EXPECT_GT(painted, 20);
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    EXPECT_EQ(DarkPixels(label), painted);
}

}  // namespace
