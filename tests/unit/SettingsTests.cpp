// The settings window, its pages, its dialogs and the page operations, driven as a user drives them.
#include "SettingsTesting.h"
#include "store/Options.h"

using namespace settingstest;

namespace {

const std::wstring kStart = L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w] D:C:\\x", kLong(300, L'n');

// A press on a page after picking a box entry and an item, with the file, name or refusal (null cancels): tree, selection,
// then the rows of the Sections list and of the Documents list (which a change on the Sections page takes to "General").
const std::wstring kW = L"6/0:w|", kSep = L"-----------------|";
const struct { int page, entry, item, button; const wchar_t* text; std::wstring tree; int selected; std::wstring top = kTop, shown = kGeneral; } kPresses[] = {
    {0, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Exit D:Configuration S:W[D:C:\\w] D:C:\\x", 2,
     L"1/0:My Documents|4/1:" + kSep + L"3/3:Exit|2/2:Configuration|5/4:W|7/5:x|", L"1/0:My Documents|3/3:Exit|2/2:Configuration|7/5:x|"},
    {0, 0, 5, IDC_MOVE_DOWN, nullptr, kStart, 5}, {0, 1, 0, IDC_ADD_SEPARATOR, nullptr, kStart + L" -", -1, kTop + L"8/6:" + kSep, kW},
    {0, 1, 4, IDC_SECTIONS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit D:C:\\x", -1,
     L"1/0:My Documents|4/1:" + kSep + L"2/2:Configuration|3/3:Exit|7/5:x|", L"1/0:My Documents|2/2:Configuration|3/3:Exit|7/4:x|"},
    {0, 0, 1, IDC_SECTIONS_DELETE, kNotRemovable, kStart, 1}, {0, 0, 0, IDC_ADD_DOCUMENT, L"y", kStart + L" D:y", -1, kTop + L"8/6:y|", kGeneral + L"8/6:y|"},
    {0, 0, 0, IDC_ADD_DOCUMENT, nullptr, kStart, 0}, {0, 0, 0, IDC_ADD_DOCUMENT, L"", kStart, 0}, {0, 0, 0, IDC_ADD_SECTION, nullptr, kStart, 0},
    {0, 1, 0, IDC_ADD_SECTION, L" W", kStart + L" S: W[]", -1, kTop + L"8/6: W|"}, {0, 0, 0, IDC_ADD_SECTION, L"", kStart + L" S:[]", -1, kTop + L"8/6:|"},
    {0, 0, 0, IDC_ADD_SECTION, kLong.c_str(), kStart + L" S:" + kLong.substr(0, 255) + L"[]", -1, kTop + L"8/6:" + kLong.substr(0, 255) + L"|"},
    {0, 1, 0, IDC_ADD_SECTION, nullptr, kStart, 0, kTop, kW}, {1, 0, 0, IDC_MOVE_UP, nullptr, kStart, 0},
    {1, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Configuration D:C:\\x S:W[D:C:\\w] D:Exit", 2,
     L"1/0:My Documents|4/1:" + kSep + L"2/2:Configuration|7/5:x|5/4:W|3/3:Exit|", L"1/0:My Documents|2/2:Configuration|7/5:x|3/3:Exit|"},
    {1, 0, 2, IDC_DOCUMENTS_DELETE, L"You cannot remove selected item", kStart, 2},
    {1, 1, 0, IDC_ADD_DOCUMENT, L"y", L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w D:y] D:C:\\x", -1, kTop, kW + L"8/1:y|"},
    {1, 1, 0, IDC_DOCUMENTS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit S:W[] D:C:\\x", -1, kTop, L""},
};

// Each button changes tree, lists and menu together and stores exactly its changes; built-in entries are refused.
TEST_F(SettingsTest, ButtonsChangeTreeListsAndStoreTogether)
{
    for (const auto& c : kPresses) {
        SCOPED_TRACE(testing::Message() << "case " << &c - kPresses);
        Reopen();
        SendDlgItemMessageW(documents, IDC_SECTION_BOX, CB_SETCURSEL, c.entry, 0);   // the user picks a section
        Press(documents, IDC_SECTION_BOX, CBN_SELCHANGE);
        Tap(List(c.page), c.item), file = c.text;
        // A name, Escape (no effect), Enter; no name: Cancel, or the close button (then Cancel if still open).
        const bool closing = !c.text && c.entry;
        apptest::Watch dialog([&, ticks = 0]() mutable {
            HWND add = apptest::FindDialog(L"Add Section"), name = GetDlgItem(add, IDC_SECTION_NAME);
            if (add && closing && !ticks++)
                SendMessageW(add, WM_SYSCOMMAND, SC_CLOSE, 0);
            else if (add && !c.text)
                apptest::Click(add, IDC_ADD_SECTION_CANCEL);
            else if (add && (ticks || SetWindowTextW(name, c.text)))
                PostMessageW(name, WM_KEYDOWN, ticks++ ? VK_RETURN : VK_ESCAPE, 0);
            return add && (c.text || closing ? ticks > 1 : true);
        });
        Press(Page(c.page), c.button);
        const bool refused = c.text && (c.button == IDC_SECTIONS_DELETE || c.button == IDC_DOCUMENTS_DELETE);
        EXPECT_EQ(prompts, std::vector<Prompt>(refused, {Page(c.page), refused ? c.text : L"", L"Error", MB_OK | MB_ICONHAND}));
        EXPECT_EQ(std::make_tuple(menutest::Describe(g_TodayMenu.Root, false), Selected(List(c.page)), dialog.done()),
                  std::make_tuple(c.tree, c.selected, c.button == IDC_ADD_SECTION && !closing));
        ExpectState(c.tree != kStart, c.top, c.shown);
    }
}

// Each page's controls in reading order: Tab goes through them and round, Shift+Tab back, each shown as it is reached;
// an icon button's text, which screen readers read, and its tooltip are its name. Ctrl+Tab goes through the tabs.
TEST_F(SettingsTest, TabGoesThroughNamedControlsInReadingOrder)
{
    const std::vector<std::pair<int, std::wstring>> pages[] = {
        {{IDC_SECTIONS_LIST, L""}, {IDC_MOVE_UP, L"Move Up"}, {IDC_MOVE_DOWN, L"Move Down"}, {IDC_ADD_SEPARATOR, L"Add Separator"},
         {IDC_ADD_SECTION, L"Add Section"}, {IDC_ADD_DOCUMENT, L"Add Document"}, {IDC_SECTIONS_DELETE, L"Delete"}},
        {{IDC_SECTION_BOX, L""}, {IDC_DOCUMENTS_LIST, L""}, {IDC_MOVE_UP, L"Move Up"}, {IDC_MOVE_DOWN, L"Move Down"},
         {IDC_ADD_DOCUMENT, L"Add Document"}, {IDC_DOCUMENTS_DELETE, L"Delete"}},
        {{IDC_HOTKEY, L""}, {IDC_FIND_HOTKEY, L""}, {IDC_THEME, L""}, {IDC_SHOW_RECENT, L""}, {IDC_EXPORT, L""}, {IDC_IMPORT, L""},
         {IDC_RESTORE, L""}, {IDC_EXPORT_PROFILE, L""}}};
    for (int tab : {0, 1, 2}) {
        const HWND page = CSettingsState::Of(window).Page(SettingsTab(tab));
        std::vector<int> order, forward, back;
        for (const auto& [control, name] : pages[tab]) {
            HWND item = GetDlgItem(page, control);
            wchar_t text[64] = {}, tip[64] = {};
            TTTOOLINFOW tool{sizeof(tool), 0, page, UINT_PTR(item)};
            tool.lpszText = tip;
            for (HWND tips = nullptr; !*tip && (tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr));)
                SendMessageW(tips, TTM_GETTEXTW, 64, LPARAM(&tool));
            GetWindowTextW(item, text, 64), order.push_back(control);
            if (!name.empty()) {
                EXPECT_EQ(std::make_pair(std::wstring(text), std::wstring(tip)), std::make_pair(name, name));
            }
        }
        // The Options page on a screen too short for it: it scrolls, and a control reached by Tab comes into view.
        if (tab == 2)
            SetWindowPos(window, nullptr, 0, 0, 240, 150, SWP_NOZORDER | SWP_NOACTIVATE);
        const auto shown = [&](HWND control) { RECT c{}; GetClientRect(page, &c); const PageRect r = GetChildRect(page, control); return r.y >= 0 && r.y + r.height <= c.bottom; };
        Front(tab), SetFocus(GetDlgItem(page, order[0]));
        for (std::vector<int>* reached : {&forward, &back})
            for (size_t i = 0; i < order.size(); ++i) {
                const HWND before = GetFocus();
                Keys(reached == &back ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB}, [&] { return GetFocus() != before && shown(GetFocus()); });
                reached->push_back(GetParent(GetFocus()) == page && shown(GetFocus()) ? GetDlgCtrlID(GetFocus()) : 0);
            }
        std::rotate(order.begin(), order.begin() + 1, order.end());
        EXPECT_EQ(forward, order) << tab;
        std::reverse(order.begin(), order.end() - 1);
        EXPECT_EQ(back, order) << tab;
    }
    // From the Options tab, Ctrl+Tab and Ctrl+Shift+Tab choose the next and the previous tab, round, as a tap on it does.
    const std::pair<bool, int> steps[] = {{false, 0}, {false, 1}, {true, 0}, {true, 2}};
    for (const auto& [shift, tab] : steps) {
        const std::vector<WORD> keys = shift ? std::vector<WORD>{VK_CONTROL, VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_CONTROL, VK_TAB};
        EXPECT_TRUE(Keys(keys, [&, tab = tab] { return TabCtrl_GetCurSel(Tabs()) == tab && IsWindowVisible(CSettingsState::Of(window).Page(SettingsTab(tab))); })) << tab;
    }
}

// The Options page's texts show the window's text colour on the window colour, light on dark in a high-contrast scheme.
// The find box's key is kept as FindHotkey under the menu key's rules, and "Show recent documents at the top of the menu",
// off at first, as ShowRecent: the menu follows it at once.
TEST_F(SettingsTest, OptionsKeepTheFindKeyAndRecent)
{
    const HWND options = CSettingsState::Of(window).Page(kOptionsTab);
    const std::wstring key = storetest::KeyPath(store::kOptionsName);
    SendDlgItemMessageW(options, IDC_FIND_HOTKEY, WM_KEYDOWN, 'K', 0);
    EXPECT_EQ(storetest::Read(key, store::kFindHotkeyValue).Dword(), MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT));
    storetest::Put(key, store::kShowRecentValue, 0, nullptr, 0);
    EXPECT_FALSE(store::LoadShowRecent());
    CheckDlgButton(options, IDC_SHOW_RECENT, BST_UNCHECKED);
    for (const bool on : {true, false}) {
        SendDlgItemMessageW(options, IDC_SHOW_RECENT, BM_CLICK, 0, 0);
        EXPECT_EQ(std::make_pair(storetest::Read(key, store::kShowRecentValue).Dword(), g_TodayMenu.ShowsRecent()), std::make_pair(DWORD(on), on));
    }
}

TEST_F(SettingsTest, OptionsTextsTakeTheWindowColours)
{
    const apptest::HighContrastScheme scheme({{COLOR_WINDOW, RGB(0, 0, 0)}, {COLOR_WINDOWTEXT, RGB(255, 255, 255)}});
    const HWND options = CSettingsState::Of(window).Page(kOptionsTab);
    const handles::window_dc dc(options);
    SendMessageW(options, WM_CTLCOLORSTATIC, WPARAM(dc.get()), LPARAM(GetDlgItem(options, IDC_HOTKEY_LABEL)));
    EXPECT_EQ(std::make_pair(GetTextColor(dc.get()), GetBkColor(dc.get())), std::make_pair(RGB(255, 255, 255), RGB(0, 0, 0)));
}

std::vector<int> Corners(const PageRect& r) { return {r.x, r.y, r.width, r.height}; }

// One page at a time, selections back with their tab, both pages laid out on a screen turn; a list shows one level, cut.
TEST_F(SettingsTest, TabsShowOnePageKeepSelectionsAndFollowAScreenTurn)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    const auto shown = [&] { return std::tuple{IsWindowVisible(sections), IsWindowVisible(documents), Selected(List(0)), Selected(List(1))}; };
    EXPECT_EQ(shown(), std::make_tuple(TRUE, FALSE, 0, 0));
    Tap(List(0), 4), SwitchTab(1), Tap(List(1), 2);
    Press(documents, IDC_MOVE_UP);   // Exit before Configuration; the Sections list is rebuilt without a selection
    SwitchTab(0);
    EXPECT_EQ(shown(), std::make_tuple(TRUE, FALSE, 4, 1));
    Press(sections, IDC_MOVE_UP), SwitchTab(1);   // acts on the restored selection, W, and rebuilds the Documents list
    EXPECT_EQ(shown(), std::make_tuple(FALSE, TRUE, 3, 1));
    // Each row keeps its entry's image as it moves.
    const std::wstring top = L"1/0:My Documents|4/1:-----------------|3/3:Exit|5/4:W|2/2:Configuration|7/5:x|";
    ExpectState(true, top, L"1/0:My Documents|3/3:Exit|2/2:Configuration|7/5:x|");

    RECT client{}, tab{};
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    GetClientRect(Tabs(), &client), TabCtrl_GetItemRect(Tabs(), 0, &tab);
    for (int i = 0; i < 2; ++i) {
        const PageRect p = GetChildRect(Tabs(), Page(i)), up = GetChildRect(Page(i), GetDlgItem(Page(i), IDC_MOVE_UP));
        const int top = i ? GetChildRect(documents, GetDlgItem(documents, IDC_SECTION_BOX)).height + 10 : 5;
        const PageLayout want = ComputePageLayout(p.width, p.height, top, SIZE{up.width, up.height}, i ? 4 : 6);
        EXPECT_EQ(Corners(p), (std::vector<int>{0, 0, client.right, client.bottom - tab.bottom + tab.top}));
        EXPECT_EQ(Corners(GetChildRect(Page(i), List(i))), Corners(want.list));
    }
    EXPECT_EQ(ControlsOutside(CSettingsState::Of(window).Page(kOptionsTab)), L"");
    const int wide = g_TodayMenu.AppendSection(std::wstring(300, L's'), 0);
    CSettingsState::Of(window).FillList(kSectionsTab), FillItemList(List(0), g_TodayMenu, 99, true);   // no level 99: kept
    EXPECT_EQ(Rows(List(0)), L"1/0:My Documents|4/1:-----------------|3/2:Exit|5/3:W|2/4:Configuration|7/5:x|8/6:" + std::wstring(255, L's') + L"|");
    Tap(List(0), 6);
    const auto picked = GetSelectedItem(List(0));
    EXPECT_EQ(picked ? std::make_pair(picked->index, picked->id) : std::make_pair(-1, 0), std::make_pair(6, wide));
    ListView_SetItemState(List(0), -1, 0, LVIS_SELECTED);   // the selection mark stays
    EXPECT_FALSE(GetSelectedItem(List(0)));
    // The marks outlive the window: opened again, it selects what was left selected.
    SwitchTab(1), Tap(List(1), 2), SwitchTab(0), Reopen(), SwitchTab(1);
    EXPECT_EQ(Selected(List(1)), 2);
}

// The real modal window: a second opening returns at once, real prompts (a section holding Exit is refused), caption closes.
TEST(SettingsWindowModal, OneAtATimeWithRealPromptsClosedByItsCaption)
{
    menutest::Reset(g_TodayMenu);
    menutest::BuildDefaults(g_TodayMenu);
    g_TodayMenu.RemoveEntry(ID_EXIT);
    menutest::Build(g_TodayMenu, L"S:W[S:Deep]");
    g_TodayMenu.AppendDocumentWithID(L"Exit", ID_EXIT, 6);
    wchar_t text[512] = {};
    apptest::Watch prompts([&] {
        HWND error = apptest::FindDialog(L"Error"), picker = apptest::FindDialog(L"Add Document");
        if (error && GetDlgItemTextW(error, 0xFFFF, text, 512))
            apptest::Click(error, IDOK);
        return picker && SetWindowTextW(GetFocus(), L"C:\\windows\\win.ini") && (apptest::Click(picker, IDOK), true);
    });
    apptest::Watch user([] {
        const HWND open = CSettingsState::OpenWindow(), sections = open ? CSettingsState::Of(open).Page(kSectionsTab) : nullptr;
        if (!IsWindowVisible(open))
            return false;
        OpenSettingsWindow(Settings());   // returns at once: a second modal window would not
        Tap(GetDlgItem(sections, IDC_SECTIONS_LIST), 3);
        Press(sections, IDC_SECTIONS_DELETE);
        Press(sections, IDC_ADD_DOCUMENT);
        return PostMessageW(open, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
    });
    OpenSettingsWindow(Settings());
    EXPECT_EQ(std::make_tuple(user.done(), prompts.done(), CSettingsState::OpenWindow()), std::make_tuple(true, true, HWND{}));
    std::replace(text, text + 512, L'\n', L' ');   // long lines are broken at spaces to fit the screen
    EXPECT_STREQ(text, L"The selected item is not removable item. Please select another item to remove");
    EXPECT_EQ(storetest::StoredText(), L"D1:\\My Documents -4 D2:Configuration S5:W[S6:Deep[D3:Exit]] D7:C:\\windows\\win.ini");
}

// The layout rule: gaps up to 10, 10 pixels from the right edge, columns when short; nothing ever leaves the page.
TEST(PageLayout, FollowsTheRuleAndNothingLeavesThePage)
{
    const struct { int width, height, top, count; std::vector<int> want; } cases[] = {   // first, last button; list
        {240, 258, 5, 6, {180, 5, 180, 170, 5, 5, 175, 238}}, {320, 178, 5, 6, {260, 5, 260, 145, 5, 5, 255, 168}},
        {240, 258, 31, 4, {180, 31, 180, 130, 5, 31, 175, 212}}, {320, 100, 5, 6, {205, 5, 260, 28, 5, 5, 200, 95}}};
    for (const auto& c : cases) {
        const PageLayout got = ComputePageLayout(c.width, c.height, c.top, SIZE{50, 23}, c.count);
        ASSERT_EQ(got.buttons.size(), static_cast<size_t>(c.count));
        const PageRect &one = got.buttons.front(), &end = got.buttons.back(), &list = got.list;
        EXPECT_EQ((std::vector<int>{one.x, one.y, end.x, end.y, list.x, list.y, list.width, list.height}), c.want);
    }
    for (int height = 60; height <= 400; ++height) {
        PageLayout got = ComputePageLayout(320, height, 5, SIZE{50, 23}, 6);
        got.buttons.push_back(got.list);
        for (const PageRect& r : got.buttons)   // left, top, right, bottom inside
            EXPECT_EQ(std::make_tuple(r.x >= 0, r.y >= 0, r.x + r.width <= 320, r.y + r.height <= height), std::make_tuple(true, true, true, true)) << height;
    }
}

}  // namespace
