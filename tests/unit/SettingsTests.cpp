// The settings window, its pages, its dialogs and the page operations, driven as a user drives them.
#include "SettingsTesting.h"

using namespace settingstest;

namespace {

const std::wstring kStart = L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w] D:C:\\x", kLong(300, L'n');

// A press on page 0 (Sections) or 1 (Documents) after choosing a box entry and a list item, with the text given to
// the file picker or typed into the Add Section dialog (see the test): the tree afterwards and the selected item.
const struct { int page, entry, item, button; const wchar_t* text; std::wstring tree; int selected; } kPresses[] = {
    {0, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Exit D:Configuration S:W[D:C:\\w] D:C:\\x", 2},
    {0, 0, 4, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Configuration S:W[D:C:\\w] D:Exit D:C:\\x", 3},
    {0, 0, 5, IDC_MOVE_DOWN, nullptr, kStart, 5},
    {0, 1, 0, IDC_ADD_SEPARATOR, nullptr, kStart + L" -", -1},
    {0, 1, 4, IDC_SECTIONS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit D:C:\\x", -1},
    {0, 1, 0, IDC_ADD_DOCUMENT, L"C:\\y.txt", kStart + L" D:C:\\y.txt", -1},
    {0, 0, 0, IDC_ADD_DOCUMENT, L"", kStart, 0},
    {0, 1, 0, IDC_ADD_SECTION, L" W", kStart + L" S: W[]", -1},
    {0, 0, 0, IDC_ADD_SECTION, L"W", kStart + L" S:W[]", -1},
    {0, 0, 0, IDC_ADD_SECTION, L"", kStart + L" S:[]", -1},
    {0, 0, 0, IDC_ADD_SECTION, kLong.c_str(), kStart + L" S:" + kLong.substr(0, 255) + L"[]", -1},
    {0, 0, 0, IDC_ADD_SECTION, nullptr, kStart, 0},
    {1, 0, 0, IDC_MOVE_UP, nullptr, kStart, 0},
    {1, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Configuration D:C:\\x S:W[D:C:\\w] D:Exit", 2},
    {1, 0, 0, IDC_MOVE_DOWN, nullptr, L"D:Configuration - D:\\My Documents D:Exit S:W[D:C:\\w] D:C:\\x", 1},
    {1, 1, 0, IDC_ADD_DOCUMENT, L"C:\\y.txt", L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w D:C:\\y.txt] D:C:\\x", -1},
    {1, 1, 0, IDC_DOCUMENTS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit S:W[] D:C:\\x", -1},
};

// Each button changes tree, lists and menu together and stores exactly its changes; built-in entries are refused.
TEST_F(SettingsTest, ButtonsChangeTreeListsAndStoreTogether)
{
    for (const auto& c : kPresses) {
        SCOPED_TRACE(testing::Message() << "case " << &c - kPresses);
        Reopen();
        ChooseSection(c.entry);
        Tap(List(c.page), c.item);
        file = c.text;
        int ticks = 0;
        apptest::Watch dialog([&] {   // the name typed, Escape (which leaves the dialog open), Enter; no name: Cancel
            HWND add = apptest::FindDialog(L"Add Section"), name = GetDlgItem(add, IDC_SECTION_NAME);
            if (add && !c.text)
                apptest::Click(add, IDC_ADD_SECTION_CANCEL);
            else if (add && (ticks || SetWindowTextW(name, c.text)))
                PostMessageW(name, WM_KEYDOWN, ticks++ ? VK_RETURN : VK_ESCAPE, 0);
            return add && (!c.text || ticks > 1);
        });
        Press(Page(c.page), c.button);
        EXPECT_EQ(std::make_tuple(menutest::Describe(g_TodayMenu.Root, false), Selected(List(c.page)), dialog.done()),
                  std::make_tuple(c.tree, c.selected, c.button == IDC_ADD_SECTION));
        ExpectState(c.tree != kStart);
    }
    Reopen();
    const std::wstring refusals[] = {L"The selected item is not removable item.\nPlease select another item to remove",
                                     L"You cannot remove selected item"};
    std::vector<Prompt> refused;   // the built-in entries, the first separator among them
    for (int page : {0, 1})
        for (int item = 0; item < 4 - page; ++item) {
            Tap(List(page), item);
            Press(Page(page), page ? IDC_DOCUMENTS_DELETE : IDC_SECTIONS_DELETE);
            refused.emplace_back(Page(page), refusals[page], L"Error", MB_OK | MB_ICONHAND);
        }
    EXPECT_EQ(prompts, refused);
    ExpectState(false);
}

// Only the chosen tab's page shows, and a tab switch selects again what its list had when the user left it.
TEST_F(SettingsTest, TabsShowOnePageAndKeepEachListsSelection)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    const auto shown = [&] {
        return std::make_tuple(IsWindowVisible(sections), IsWindowVisible(documents), Selected(List(0)), Selected(List(1)));
    };
    EXPECT_EQ(shown(), std::make_tuple(TRUE, FALSE, 0, 0));
    Tap(List(0), 4);
    SwitchTab(1);
    Tap(List(1), 2);
    Press(documents, IDC_MOVE_UP);   // Exit before Configuration; the Sections list is rebuilt without a selection
    SwitchTab(0);
    EXPECT_EQ(shown(), std::make_tuple(TRUE, FALSE, 4, 1));
    Press(sections, IDC_MOVE_UP);    // acts on the restored selection, W, and rebuilds the Documents list
    SwitchTab(1);
    EXPECT_EQ(shown(), std::make_tuple(FALSE, TRUE, 3, 1));
    EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), L"D:\\My Documents - D:Exit S:W[D:C:\\w] D:Configuration D:C:\\x");
    ExpectState(true);
}

std::vector<int> Corners(const PageRect& r) { return {r.x, r.y, r.width, r.height}; }

// A resize only fits the tab control; a screen turn lays out both pages again by the layout rule, above the tabs.
TEST_F(SettingsTest, PagesAreLaidOutAgainOnAScreenTurn)
{
    const int width = GetChildRect(Tabs(), documents).width;
    RECT client{}, tab{};
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(window, &client);
    EXPECT_EQ(std::make_pair(GetChildRect(window, Tabs()).width, GetChildRect(Tabs(), documents).width),
              std::make_pair(static_cast<int>(client.right), width));
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    TabCtrl_GetItemRect(Tabs(), 0, &tab);
    for (int i = 0; i < 2; ++i) {
        const PageRect page = GetChildRect(Tabs(), Page(i)), up = GetChildRect(Page(i), GetDlgItem(Page(i), IDC_MOVE_UP));
        const int top = i ? GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_BOX)).height + 10 : 5;
        const PageLayout want = ComputePageLayout(page.width, page.height, top, SIZE{up.width, up.height}, i ? 4 : 6);
        EXPECT_EQ(Corners(page), (std::vector<int>{0, 0, client.right, client.bottom - tab.bottom + tab.top}));
        EXPECT_EQ(Corners(GetChildRect(Page(i), GetDlgItem(Page(i), IDC_MOVE_DOWN))), Corners(want.buttons[1]));
        EXPECT_EQ(Corners(GetChildRect(Page(i), List(i))), Corners(want.list));
    }
}

// A second opening brings the open window forward instead of opening another; the caption's close button ends it.
TEST(SettingsWindowModal, OneAtATimeClosedByItsCaption)
{
    apptest::Watch driver([] {
        HWND open = GetAncestor(g_hSectionsPage, GA_ROOT);
        if (!IsWindowVisible(open))
            return false;
        OpenSettingsWindow();   // returns at once: a second modal window would not
        return PostMessageW(open, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
    });
    OpenSettingsWindow();
    EXPECT_EQ(std::make_pair(driver.done(), g_hSectionsPage), std::make_pair(true, HWND{}));
}

// Without the test's answers a refusal is a real message box, and +Doc a real open-file dialog typed into.
TEST_F(SettingsTest, RealPromptsAreAnsweredOnTheScreen)
{
    platform::SetMessageAnswer({});
    platform::SetOpenFileAnswer({});
    wchar_t text[512] = {};
    apptest::Watch driver([&] {
        HWND error = apptest::FindDialog(L"Error"), picker = apptest::FindDialog(L"Add Document");
        if (error && GetDlgItemTextW(error, 0xFFFF, text, 512))
            apptest::Click(error, IDOK);
        return picker && SetWindowTextW(GetFocus(), L"C:\\windows\\win.ini") && (apptest::Click(picker, IDOK), true);
    });
    Tap(List(0), 3);
    Press(sections, IDC_SECTIONS_DELETE);
    SwitchTab(1);
    Press(documents, IDC_ADD_DOCUMENT);
    ASSERT_TRUE(driver.done());
    std::replace(text, text + 512, L'\n', L' ');   // long lines are broken at spaces to fit the screen
    EXPECT_STREQ(text, L"The selected item is not removable item. Please select another item to remove");
    EXPECT_EQ(_wcsicmp(g_TodayMenu.Root.Items.back()->Path.c_str(), L"C:\\windows\\win.ini"), 0);
    ExpectState(true);
}

// The layout rule (gaps up to 10 over 5 pixels more than the page, 10 from the right edge, columns when too short),
// and at any height list and buttons inside the page and apart.
TEST(PageLayout, FollowsTheRuleAndNothingLeavesThePage)
{
    const struct { int width, height, top, count; std::vector<int> want; } cases[] = {   // first, last button; list
        {240, 258, 5, 6, {180, 5, 180, 170, 5, 5, 175, 238}}, {320, 178, 5, 6, {260, 5, 260, 145, 5, 5, 255, 168}},
        {240, 258, 31, 4, {180, 31, 180, 130, 5, 31, 175, 212}}, {320, 100, 5, 6, {205, 5, 260, 28, 5, 5, 200, 95}}};
    for (const auto& c : cases) {
        const PageLayout got = ComputePageLayout(c.width, c.height, c.top, SIZE{50, 23}, c.count);
        ASSERT_EQ(got.buttons.size(), static_cast<size_t>(c.count));
        const PageRect &first = got.buttons.front(), &last = got.buttons.back(), &list = got.list;
        EXPECT_EQ((std::vector<int>{first.x, first.y, last.x, last.y, list.x, list.y, list.width, list.height}), c.want);
    }
    for (int height = 60; height <= 400; ++height) {
        PageLayout got = ComputePageLayout(320, height, 5, SIZE{50, 23}, 6);
        got.buttons.push_back(got.list);
        for (size_t k = 0; k < got.buttons.size(); ++k)
            for (size_t j = 0; j <= k; ++j) {
                const PageRect &a = got.buttons[k], &b = got.buttons[j];
                EXPECT_TRUE(j == k ? a.x >= 0 && a.y >= 0 && a.x + a.width <= 320 && a.y + a.height <= height
                                   : a.x >= b.x + b.width || b.x >= a.x + a.width || a.y >= b.y + b.height || b.y >= a.y + a.height)
                    << height << " " << j << " " << k;
            }
    }
}

// A list shows one level with captions cut to fit; a level that is no section leaves it; the selected entry needs a
// selected item; the file picker asks for any file, titled "Add Document", and gives its whole path or nothing.
TEST_F(SettingsTest, ListFillingSelectedEntryAndFilePicker)
{
    const int wide = g_TodayMenu.AppendSection(std::wstring(300, L's'), 0);
    HWND list = List(0);
    FillItemList(list, 0, false);
    EXPECT_EQ(Rows(list), L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:W|7/5:x|8/6:" +
                              std::wstring(255, L's') + L"|");
    Tap(list, 6);
    const auto picked = GetSelectedItem(list);
    EXPECT_EQ(picked ? std::make_pair(picked->index, picked->id) : std::make_pair(-1, 0), std::make_pair(6, wide));
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);   // the selection mark stays
    FillItemList(list, 99, true);
    FillItemList(list, 7, true);
    EXPECT_EQ(std::make_pair(GetSelectedItem(list).has_value(), ListView_GetItemCount(list)), std::make_pair(false, 7));
    FillItemList(list, wide, true);
    EXPECT_EQ(ListView_GetItemCount(list) + ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL)), 0);
    const std::wstring path = L"C:\\" + std::wstring(400, L'd') + L"\\report.txt";
    file = path.c_str();
    EXPECT_EQ(ChooseDocumentFile(sections).value_or(L""), path);
    EXPECT_EQ(std::make_tuple(asked.hwndOwner, std::wstring(asked.lpstrTitle), std::wstring(asked.lpstrFilter, 9), asked.Flags),
              std::make_tuple(sections, std::wstring(L"Add Document"), std::wstring(L"All\0*.*\0\0", 9), DWORD{OFN_PATHMUSTEXIST}));
    file = L"";
    EXPECT_FALSE(ChooseDocumentFile(sections));
}

}  // namespace
