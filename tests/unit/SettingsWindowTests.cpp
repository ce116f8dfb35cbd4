// The settings window: its tabs, its pages inside the tab control and their layout, the tab switch
// with the kept selections, and one window at a time.
#include <gtest/gtest.h>

#include "SettingsTests.h"

using namespace settingstest;

namespace {

using SettingsWindow = SettingsWindowTest;

// Expects the page's list and buttons where the layout rule puts them in the page's present size.
void ExpectLaidOut(HWND page, int listId, const std::vector<int>& buttons, int top)
{
    RECT client{};
    GetClientRect(page, &client);
    const PageRect first = GetChildRect(page, GetDlgItem(page, buttons[0]));
    const PageLayout want = ComputePageLayout(client.right, client.bottom, top, SIZE{first.width, first.height},
                                              static_cast<int>(buttons.size()));
    for (size_t k = 0; k < buttons.size(); ++k) {
        const PageRect got = GetChildRect(page, GetDlgItem(page, buttons[k]));
        EXPECT_EQ(std::make_pair(got.x, got.y), std::make_pair(want.buttons[k].x, want.buttons[k].y)) << k;
    }
    HWND list = GetDlgItem(page, listId);
    const PageRect got = GetChildRect(page, list);
    EXPECT_EQ((std::vector<int>{got.x, got.y, got.width, got.height}),
              (std::vector<int>{want.list.x, want.list.y, want.list.width, want.list.height}));
    RECT listClient{};
    GetClientRect(list, &listClient);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), listClient.right);
}

void ExpectPagesLaidOut(HWND tabs, HWND sections, HWND documents)
{
    RECT client{}, tab{};
    GetClientRect(tabs, &client);
    TabCtrl_GetItemRect(tabs, 0, &tab);
    for (HWND page : {sections, documents}) {
        const PageRect placed = GetChildRect(tabs, page);
        EXPECT_EQ((std::vector<int>{placed.x, placed.y, placed.width, placed.height}),
                  (std::vector<int>{0, 0, client.right, client.bottom - (tab.bottom - tab.top)}));
    }
    ExpectLaidOut(sections, IDC_SECTIONS_LIST,
                  {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_SEPARATOR, IDC_ADD_SECTION, IDC_ADD_DOCUMENT, IDC_SECTIONS_DELETE}, 5);
    const PageRect box = GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_BOX));
    const PageRect label = GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_LABEL));
    EXPECT_EQ((std::vector<int>{label.x, label.y, box.x, box.y}), (std::vector<int>{5, 5, label.width + 10, 5}));
    ExpectLaidOut(documents, IDC_DOCUMENTS_LIST, {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_DOCUMENT, IDC_DOCUMENTS_DELETE},
                  box.height + 10);
}

TEST_F(SettingsWindow, OpensOnSectionsWithBothPagesLaidOutInsideTheTabControl)
{
    wchar_t text[2][32] = {};
    for (int i = 0; i < 2; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text[i];
        item.cchTextMax = 32;
        TabCtrl_GetItem(Tabs(), i, &item);
    }
    EXPECT_EQ(std::wstring(text[0]) + L"|" + text[1], L"Sections|Documents");
    EXPECT_EQ(TabCtrl_GetCurSel(Tabs()), 0);
    EXPECT_EQ(GetParent(sections), Tabs());
    EXPECT_EQ(GetParent(documents), Tabs());
    EXPECT_TRUE(GetWindowLongW(sections, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(documents, GWL_STYLE) & WS_VISIBLE);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(GetChildRect(window, Tabs()).height, client.bottom);
    ExpectPagesLaidOut(Tabs(), sections, documents);
}

TEST_F(SettingsWindow, PlainResizeMovesTheTabControlAndAScreenTurnLaysOutBothPages)
{
    const PageRect before = GetChildRect(Tabs(), documents);
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(GetChildRect(window, Tabs()).width, client.right);
    EXPECT_EQ(GetChildRect(Tabs(), documents).width, before.width);
    SendMessageW(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(GetChildRect(Tabs(), documents).width, before.width);

    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    EXPECT_NE(GetChildRect(Tabs(), documents).width, before.width);
    ExpectPagesLaidOut(Tabs(), sections, documents);
}

TEST_F(SettingsWindow, TabSwitchRestoresEachListsSelection)
{
    Tap(SectionsList(), 3);
    SwitchTab(1);
    EXPECT_FALSE(GetWindowLongW(sections, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(documents, GWL_STYLE) & WS_VISIBLE);
    // A change on the Documents page rebuilds the Sections list without a selection.
    Tap(DocumentsList(), 2);
    Press(documents, IDC_MOVE_UP);
    ASSERT_TRUE(Selected(SectionsList()).empty());

    SwitchTab(0);
    EXPECT_EQ(Selected(SectionsList()), (std::vector<int>{3}));
    Press(sections, IDC_MOVE_UP);   // acts on the restored selection, now "Configuration"
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));
    SwitchTab(1);
    EXPECT_EQ(Selected(DocumentsList()), (std::vector<int>{1}));
}

// The settings windows of this thread: top-level windows holding the tab control.
std::vector<HWND> SettingsWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM param) -> BOOL {
            if (IsWindowVisible(w) && GetDlgItem(w, IDC_TABS))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(SettingsWindowModal, SecondOpeningOpensNoSecondWindowAndTheCaptionCloseEndsIt)
{
    ResetTree();
    size_t seen = 0;
    apptest::Watch driver([&] {
        if (SettingsWindows().empty())
            return false;
        OpenSettingsWindow();   // returns at once
        seen = SettingsWindows().size();
        PostMessageW(SettingsWindows().front(), WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    });
    OpenSettingsWindow();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(seen, 1u);
    EXPECT_TRUE(SettingsWindows().empty());
    EXPECT_EQ(g_hSectionsPage, nullptr);

    apptest::Watch again([&] {   // and the next opening opens one again
        if (SettingsWindows().empty())
            return false;
        Press(g_hSectionsPage, IDOK);   // the pages' OK closes it too
        return true;
    });
    OpenSettingsWindow();
    EXPECT_TRUE(again.done());
    DeleteStore();
}

}  // namespace
