// The settings window: its tabs, its pages inside the tab control, the tab switch with the kept
// selections, the layout after a screen change, and one window at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTests.h"
#include "config/SectionsPage.h"

using namespace settingstest;

namespace {

using SettingsWindow = SettingsWindowTest;

std::wstring TabText(HWND tabs, int index)
{
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    TabCtrl_GetItem(tabs, index, &item);
    return text;
}

PageRect WindowRectIn(HWND parent, HWND child) { return GetChildRect(parent, child); }

TEST_F(SettingsWindow, OpensOnTheSectionsTabWithBothPagesInsideTheTabControl)
{
    HWND tabs = Tabs();
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 2);
    EXPECT_EQ(TabText(tabs, 0), L"Sections");
    EXPECT_EQ(TabText(tabs, 1), L"Documents");
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 0);
    EXPECT_TRUE(GetWindowLongW(tabs, GWL_STYLE) & TCS_BOTTOM);
    EXPECT_EQ(GetParent(sections), tabs);
    EXPECT_EQ(GetParent(documents), tabs);
    EXPECT_TRUE(GetWindowLongW(sections, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(documents, GWL_STYLE) & WS_VISIBLE);

    // The tab control covers the client area, and each page the part of it above the row of tabs.
    RECT client{}, tabsClient{}, tab{};
    GetClientRect(window, &client);
    const PageRect tabsRect = WindowRectIn(window, tabs);
    EXPECT_EQ(tabsRect.width, client.right);
    EXPECT_EQ(tabsRect.height, client.bottom);
    GetClientRect(tabs, &tabsClient);
    TabCtrl_GetItemRect(tabs, 0, &tab);
    for (HWND page : {sections, documents}) {
        const PageRect placed = WindowRectIn(tabs, page);
        EXPECT_EQ(placed.x, 0);
        EXPECT_EQ(placed.y, 0);
        EXPECT_EQ(placed.width, tabsClient.right);
        EXPECT_EQ(placed.height, tabsClient.bottom - (tab.bottom - tab.top));
    }
}

// Where the layout rule puts a page's list and buttons inside its present place.
void ExpectLaidOut(HWND page, HWND list, const std::vector<int>& buttons, int top)
{
    RECT client{};
    GetClientRect(page, &client);
    const PageRect first = GetChildRect(page, GetDlgItem(page, buttons[0]));
    const PageLayout want = ComputePageLayout(client.right, client.bottom, top, SIZE{first.width, first.height},
                                              static_cast<int>(buttons.size()));
    for (size_t k = 0; k < buttons.size(); ++k) {
        const PageRect got = GetChildRect(page, GetDlgItem(page, buttons[k]));
        EXPECT_EQ(got.x, want.buttons[k].x) << k;
        EXPECT_EQ(got.y, want.buttons[k].y) << k;
    }
    const PageRect got = GetChildRect(page, list);
    EXPECT_EQ(got.x, want.list.x);
    EXPECT_EQ(got.y, want.list.y);
    EXPECT_EQ(got.width, want.list.width);
    EXPECT_EQ(got.height, want.list.height);
    RECT listClient{};
    GetClientRect(list, &listClient);
    EXPECT_EQ(ListView_GetColumnWidth(list, 0), listClient.right);
}

void ExpectBothPagesLaidOut(HWND sections, HWND documents)
{
    ExpectLaidOut(sections, GetDlgItem(sections, IDC_SECTIONS_LIST),
                  {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_SEPARATOR, IDC_ADD_SECTION, IDC_ADD_DOCUMENT, IDC_SECTIONS_DELETE},
                  5);
    const PageRect box = GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_BOX));
    const PageRect label = GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_LABEL));
    EXPECT_EQ(label.x, 5);
    EXPECT_EQ(label.y, 5);
    EXPECT_EQ(box.x, label.width + 10);
    EXPECT_EQ(box.y, 5);
    ExpectLaidOut(documents, GetDlgItem(documents, IDC_DOCUMENTS_LIST),
                  {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_DOCUMENT, IDC_DOCUMENTS_DELETE}, box.height + 10);
}

TEST_F(SettingsWindow, PagesAreLaidOutByTheRuleAndAgainOnlyWhenTheScreenChanges)
{
    ExpectBothPagesLaidOut(sections, documents);
    const PageRect before = GetChildRect(GetParent(sections), sections);

    // A plain resize moves the tab control only.
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(GetChildRect(window, Tabs()).width, client.right);
    EXPECT_EQ(GetChildRect(window, Tabs()).height, client.bottom);
    EXPECT_EQ(GetChildRect(Tabs(), sections).height, before.height);
    EXPECT_EQ(GetChildRect(Tabs(), documents).width, before.width);

    // The shell's notice of a turned screen lays out both pages, the hidden one too.
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    EXPECT_NE(GetChildRect(Tabs(), sections).height, before.height);
    ExpectBothPagesLaidOut(sections, documents);

    SetWindowPos(window, nullptr, 0, 0, 240, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(240, 320));
    EXPECT_EQ(GetChildRect(Tabs(), documents).width, before.width);
    ExpectBothPagesLaidOut(sections, documents);

    // Other setting changes leave the pages where they are.
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(GetChildRect(Tabs(), sections).width, before.width);
}

TEST_F(SettingsWindow, TabSwitchShowsOnePageAndRestoresEachListsSelection)
{
    Tap(SectionsList(), 3);
    SwitchTab(1);
    EXPECT_FALSE(IsWindowVisible(sections) || GetWindowLongW(sections, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongW(documents, GWL_STYLE) & WS_VISIBLE);

    // A change on the Documents page rebuilds the Sections list without a selection.
    Tap(DocumentsList(), 2);
    Press(documents, IDC_MOVE_UP);
    ASSERT_TRUE(SelectedIndices(SectionsList()).empty());

    SwitchTab(0);
    EXPECT_TRUE(GetWindowLongW(sections, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(documents, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(SelectedIndices(SectionsList()), (std::vector<int>{3}));
    // The restored selection is what the buttons act on: item 3 is now "Configuration".
    Press(sections, IDC_MOVE_UP);
    EXPECT_EQ(testtree::Ids(g_TodayMenu.Root), (std::vector<int>{1, 4, 2, 3}));

    SwitchTab(1);
    EXPECT_EQ(SelectedIndices(DocumentsList()), (std::vector<int>{1}));
}

TEST_F(SettingsWindow, PageOkClosesTheWindow)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Press(sections, IDOK);
    EXPECT_FALSE(IsWindowVisible(window));
}

// The settings windows of this thread: top-level windows holding the tab control.
std::vector<HWND> SettingsWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM param) -> BOOL {
            HWND tabs = GetDlgItem(w, IDC_TABS);
            wchar_t name[64] = {};
            if (tabs && GetClassNameW(tabs, name, 64) && std::wstring(name) == WC_TABCONTROLW)
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

int CountSettingsWindows() { return static_cast<int>(SettingsWindows().size()); }

// The caption's close button of the open settings window.
void PressCaptionClose() { PostMessageW(SettingsWindows().front(), WM_SYSCOMMAND, SC_CLOSE, 0); }

TEST(SettingsWindowModal, SecondOpeningBringsTheOpenWindowForwardAndTheCaptionCloseEndsIt)
{
    ResetTree();
    int seenWhileOpen = -1;
    bool returnedAtOnce = false;
    ModalDriver driver([&] {
        if (CountSettingsWindows() == 0)
            return false;
        OpenSettingsWindow();   // returns at once instead of opening a second window
        returnedAtOnce = true;
        seenWhileOpen = CountSettingsWindows();
        PressCaptionClose();
        return true;
    });
    OpenSettingsWindow();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(returnedAtOnce);
    EXPECT_EQ(seenWhileOpen, 1);
    EXPECT_EQ(CountSettingsWindows(), 0);
    EXPECT_EQ(g_hSectionsPage, nullptr);
    EXPECT_EQ(g_hDocumentsPage, nullptr);
    // A new opening works once the window is gone.
    ModalDriver again([&] {
        if (CountSettingsWindows() == 0)
            return false;
        PressCaptionClose();
        return true;
    });
    OpenSettingsWindow();
    EXPECT_TRUE(again.Done());
    DeleteStore();
}

}  // namespace
