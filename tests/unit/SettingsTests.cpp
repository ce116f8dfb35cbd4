// The settings window, its two pages, the Add Section dialog and the operations that the pages share, driven as a
// user drives them; after a change menu, store, lists and section box are checked against the whole tree.
#include "SettingsTesting.h"
#include "platform/Shell.h"

using namespace settingstest;

namespace {

const wchar_t kStart[] = L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w] D:C:\\x";

// A press on page 0 (Sections) or 1 (Documents) after choosing a section box entry and a list item, the file
// picker giving file ("" cancels): the tree afterwards (menutest::Describe without ids) and the selected item.
struct PressCase { int page, section, tap, button; const wchar_t *file, *tree; int selected; };
const PressCase kPresses[] = {
    {0, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Exit D:Configuration S:W[D:C:\\w] D:C:\\x", 2},
    {0, 0, 4, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Configuration S:W[D:C:\\w] D:Exit D:C:\\x", 3},
    {0, 0, 0, IDC_MOVE_UP, nullptr, kStart, 0},
    {0, 0, 5, IDC_MOVE_DOWN, nullptr, kStart, 5},
    {0, 1, 0, IDC_ADD_SEPARATOR, nullptr, L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w] D:C:\\x -", -1},
    {0, 1, 4, IDC_SECTIONS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit D:C:\\x", -1},
    {0, 1, 0, IDC_ADD_DOCUMENT, L"C:\\y.txt", L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w] D:C:\\x D:C:\\y.txt", -1},
    {0, 0, 0, IDC_ADD_DOCUMENT, L"", kStart, 0},
    {1, 0, 3, IDC_MOVE_UP, nullptr, L"D:\\My Documents - D:Configuration D:C:\\x S:W[D:C:\\w] D:Exit", 2},
    {1, 0, 0, IDC_MOVE_UP, nullptr, kStart, 0},
    {1, 0, 3, IDC_MOVE_DOWN, nullptr, kStart, 3},
    {1, 1, 0, IDC_ADD_DOCUMENT, L"C:\\y.txt", L"D:\\My Documents - D:Configuration D:Exit S:W[D:C:\\w D:C:\\y.txt] D:C:\\x", -1},
    {1, 1, 0, IDC_DOCUMENTS_DELETE, nullptr, L"D:\\My Documents - D:Configuration D:Exit S:W[] D:C:\\x", -1},
};

// Every button of both pages: a change shows on both pages and in the menu and is stored, no change is not stored.
TEST_F(SettingsTest, ButtonsChangeTreeListsAndStoreTogether)
{
    for (const PressCase& c : kPresses) {
        SCOPED_TRACE(testing::Message() << "case " << &c - kPresses);
        Reopen();
        ChooseSection(c.section);
        Tap(List(c.page), c.tap);
        AnswerFile(c.file);
        Press(Page(c.page), c.button);
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), c.tree);
        EXPECT_EQ(Selected(List(c.page)), c.selected);
        ExpectState(c.tree != std::wstring(kStart));
    }
    EXPECT_TRUE(prompts.empty());
}

// The built-in entries, the first separator among them, are refused on both pages with the page's own message.
TEST_F(SettingsTest, BuiltInEntriesAreNotDeleted)
{
    const std::wstring refusals[] = {L"The selected item is not removable item.\nPlease select another item to remove",
                                     L"You cannot remove selected item"};
    for (int page : {0, 1})
        for (int item = 0; item < 4 - page; ++item) {
            prompts.clear();
            Tap(List(page), item);
            Press(Page(page), page ? IDC_DOCUMENTS_DELETE : IDC_SECTIONS_DELETE);
            EXPECT_EQ(prompts, (std::vector<Prompt>{{Page(page), refusals[page], L"Error", MB_OK | MB_ICONHAND}})) << item;
        }
    EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), kStart);
    ExpectState(false);
}

// The window opens on Sections with only that page shown and each list's first item selected; a tab switch shows
// the other page alone and selects again what its list had selected when it was left, though rebuilt since.
TEST_F(SettingsTest, TabsShowOnePageAndKeepEachListsSelection)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
    const auto shown = [&] { return std::make_pair(IsWindowVisible(sections), IsWindowVisible(documents)); };
    EXPECT_EQ(std::make_tuple(shown(), TabCtrl_GetCurSel(Tabs()), Selected(List(0)), Selected(List(1))),
              std::make_tuple(std::make_pair(TRUE, FALSE), 0, 0, 0));
    Tap(List(0), 4);
    SwitchTab(1);
    EXPECT_EQ(shown(), std::make_pair(FALSE, TRUE));
    Tap(List(1), 2);
    Press(documents, IDC_MOVE_UP);   // Exit before Configuration; the Sections list is rebuilt without a selection
    SwitchTab(0);
    EXPECT_EQ(std::make_pair(shown(), Selected(List(0))), std::make_pair(std::make_pair(TRUE, FALSE), 4));
    Press(sections, IDC_MOVE_UP);    // acts on the restored selection, W
    SwitchTab(1);
    EXPECT_EQ(Selected(List(1)), 1);
    EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), L"D:\\My Documents - D:Exit S:W[D:C:\\w] D:Configuration D:C:\\x");
    ExpectState(true);
}

std::vector<int> Corners(const PageRect& r) { return {r.x, r.y, r.width, r.height}; }

// A plain resize only fits the tab control to the window; a screen turn lays out both pages again, the hidden one
// too: each fills the tab control above its tabs, its list and buttons where the layout rule puts them.
TEST_F(SettingsTest, PagesAreLaidOutAgainOnAScreenTurn)
{
    const std::vector<int> buttons[] = {{IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_SEPARATOR, IDC_ADD_SECTION, IDC_ADD_DOCUMENT,
                                         IDC_SECTIONS_DELETE}, {IDC_MOVE_UP, IDC_MOVE_DOWN, IDC_ADD_DOCUMENT, IDC_DOCUMENTS_DELETE}};
    const int width = GetChildRect(Tabs(), documents).width;
    SetWindowPos(window, nullptr, 0, 0, 320, 220, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{}, tab{};
    GetClientRect(window, &client);
    EXPECT_EQ(std::make_pair(GetChildRect(window, Tabs()).width, GetChildRect(Tabs(), documents).width),
              std::make_pair(static_cast<int>(client.right), width));
    SendMessageW(window, WM_SETTINGCHANGE, 0x3002, 0);
    GetClientRect(Tabs(), &client);
    TabCtrl_GetItemRect(Tabs(), 0, &tab);
    for (int i = 0; i < 2; ++i) {
        const PageRect page = GetChildRect(Tabs(), Page(i)), up = GetChildRect(Page(i), GetDlgItem(Page(i), IDC_MOVE_UP));
        EXPECT_EQ(Corners(page), (std::vector<int>{0, 0, client.right, client.bottom - tab.bottom + tab.top}));
        const PageLayout want = ComputePageLayout(page.width, page.height, i ? GetChildRect(Page(i), Box()).height + 10 : 5,
                                                  SIZE{up.width, up.height}, static_cast<int>(buttons[i].size()));
        for (size_t k = 0; k < buttons[i].size(); ++k)
            EXPECT_EQ(Corners(GetChildRect(Page(i), GetDlgItem(Page(i), buttons[i][k]))), Corners(want.buttons[k]));
        EXPECT_EQ(Corners(GetChildRect(Page(i), List(i))), Corners(want.list));
    }
}

// A second opening brings the open window forward instead of opening another; the caption's close button ends it.
TEST(SettingsWindowModal, OneAtATimeClosedByItsCaption)
{
    apptest::Watch driver([] {
        HWND open = GetAncestor(g_hSectionsPage, GA_ROOT);
        if (!open || !IsWindowVisible(open))
            return false;
        OpenSettingsWindow();   // returns at once: a second modal window would not
        return PostMessageW(open, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
    });
    OpenSettingsWindow();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(g_hSectionsPage, nullptr);
}

// The Add Section dialog: Escape does not close it, Enter appends a top-level section named as typed (empty,
// repeated, up to 255 characters); Cancel changes nothing.
TEST_F(SettingsTest, AddSectionAppendsTheNameAsTyped)
{
    std::wstring tree = kStart;
    for (const std::wstring& typed : {std::wstring(L" Same "), std::wstring(L" Same "), std::wstring(), std::wstring(300, L'n'),
                                      std::wstring(L"Never")}) {
        const bool cancel = typed == L"Never";
        int ticks = 0;
        apptest::Watch driver([&] {
            HWND dialog = apptest::FindDialog(L"Add Section"), name = GetDlgItem(dialog, IDC_SECTION_NAME);
            if (!dialog || (ticks == 0 && !SetWindowTextW(name, typed.c_str())))
                return false;
            cancel ? apptest::Click(dialog, IDC_ADD_SECTION_CANCEL)
                   : void(PostMessageW(name, WM_KEYDOWN, ticks ? VK_RETURN : VK_ESCAPE, 0));
            return cancel || ticks++ > 0;
        });
        storetest::ClearStore();
        Press(sections, IDC_ADD_SECTION);
        ASSERT_TRUE(driver.done()) << typed;
        tree += cancel ? L"" : L" S:" + typed.substr(0, 255) + L"[]";
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), tree);
        ExpectState(!cancel);
    }
}

// Without the test's answers a refusal is a real message box, and +Doc a real open-file dialog whose typed file
// is added.
TEST_F(SettingsTest, RealPromptsAreAnsweredOnTheScreen)
{
    platform::SetMessageAnswer({});
    platform::SetOpenFileAnswer({});
    wchar_t text[512] = {}, path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH - 20, path);
    CloseHandle(CreateFileW(wcscat(path, L"tabula report.txt"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    apptest::Watch driver([&] {
        HWND error = apptest::FindDialog(L"Error"), picker = apptest::FindDialog(L"Add Document");
        if (error && GetDlgItemTextW(error, 0xFFFF, text, 512))
            apptest::Click(error, IDOK);
        return picker && SetWindowTextW(GetFocus(), path) && (apptest::Click(picker, IDOK), true);
    });
    Tap(List(0), 3);
    Press(sections, IDC_SECTIONS_DELETE);
    SwitchTab(1);
    Press(documents, IDC_ADD_DOCUMENT);
    ASSERT_TRUE(driver.done());
    std::replace(text, text + 512, L'\n', L' ');   // long lines are broken at spaces to fit the screen
    EXPECT_STREQ(text, L"The selected item is not removable item. Please select another item to remove");
    EXPECT_EQ(_wcsicmp(g_TodayMenu.Root.Items.back()->Path.c_str(), path), 0) << g_TodayMenu.Root.Items.back()->Path;
    ExpectState(true);
    DeleteFileW(path);
}

// The layout rule: one column 10 pixels from the right edge with gaps of at most 10, the rule counting 5 pixels
// below the page, also below a section box; a short page's buttons in columns 5 apart. Nothing ever leaves the page.
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
    for (int count : {4, 6})
        for (int height = 60; height <= 400; ++height) {
            PageLayout got = ComputePageLayout(320, height, count == 4 ? 26 : 5, SIZE{50, 23}, count);
            got.buttons.push_back(got.list);
            for (size_t k = 0; k < got.buttons.size(); ++k) {
                const PageRect& a = got.buttons[k];
                EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.width <= 320 && a.y + a.height <= height) << height << " " << k;
                for (const PageRect& b : std::vector<PageRect>(got.buttons.begin(), got.buttons.begin() + k))
                    EXPECT_FALSE(a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height)
                        << height << " " << k;
            }
        }
}

// An icon button is its icon centred on the window colour, inverted while pressed.
TEST(PageOps, IconButtonIsItsIconCentredAndInvertedWhilePressed)
{
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    HGDIOBJ bitmap = SelectObject(dc, CreateCompatibleBitmap(screen, 183, 30));   // by hand, drawn, drawn pressed
    const RECT hand{0, 0, 61, 30};
    FillRect(dc, &hand, GetSysColorBrush(COLOR_WINDOW));
    HICON icon = platform::LoadIconAtSize(g_hInstance, IDI_BTN_UP, 47, 22);
    DrawIconEx(dc, 7, 4, icon, 47, 22, 0, nullptr, DI_NORMAL);
    for (LONG pressed : {0, 1}) {
        DRAWITEMSTRUCT record{ODT_BUTTON, IDC_MOVE_UP, 0, ODA_DRAWENTIRE, UINT(pressed), nullptr, dc, {61 + 61 * pressed, 0, 122 + 61 * pressed, 30}, 0};
        EXPECT_TRUE(DrawIconButton(&record, IDI_BTN_UP));
    }
    int wrong = 0, iconPixels = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 61; ++x) {
            const COLORREF want = GetPixel(dc, x, y);
            iconPixels += want != GetSysColor(COLOR_WINDOW);
            wrong += GetPixel(dc, x + 61, y) != want || GetPixel(dc, x + 122, y) != (~want & 0xFFFFFF);
        }
    EXPECT_EQ(std::make_pair(wrong, iconPixels > 50), std::make_pair(0, true));
    DestroyIcon(icon);
    DeleteObject(SelectObject(dc, bitmap));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// A list is filled from one level with ids, images by level index and captions cut to what the list holds; an id
// of no section leaves it, an empty level empties it and its images. The selected entry is the one at the
// selection mark while an item is selected.
TEST_F(SettingsTest, ItemListFillingAndTheSelectedEntry)
{
    const int wide = g_TodayMenu.AppendSection(std::wstring(300, L's'), 0);
    HWND list = List(0);
    FillItemList(list, 0, false);
    EXPECT_EQ(Rows(list), L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:W|7/5:x|8/6:" +
                              std::wstring(255, L's') + L"|");
    EXPECT_FALSE(GetSelectedItem(list));
    Tap(list, 6);
    const auto picked = GetSelectedItem(list);
    EXPECT_EQ(picked ? std::make_pair(picked->index, picked->id) : std::make_pair(-1, 0), std::make_pair(6, wide));
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);   // the selection mark stays
    EXPECT_FALSE(GetSelectedItem(list));
    FillItemList(list, 99, true);
    FillItemList(list, 7, true);
    EXPECT_EQ(ListView_GetItemCount(list), 7);
    FillItemList(list, wide, true);
    EXPECT_EQ(std::make_pair(ListView_GetItemCount(list), ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL))),
              std::make_pair(0, 0));
}

// The file picker is the open-file dialog "Add Document" for any existing file; it gives the full path, however
// long, or nothing when cancelled.
TEST_F(SettingsTest, FilePickerGivesTheFullPath)
{
    const std::wstring path = L"C:\\" + std::wstring(400, L'd') + L"\\report.txt";
    OPENFILENAMEW seen{};
    platform::SetOpenFileAnswer([&](OPENFILENAMEW& record) {
        return (seen = record, lstrcpynW(record.lpstrFile, path.c_str(), record.nMaxFile)) != nullptr;
    });
    EXPECT_EQ(ChooseDocumentFile(sections).value_or(L""), path);
    EXPECT_EQ(std::make_tuple(seen.hwndOwner, std::wstring(seen.lpstrTitle), std::wstring(seen.lpstrFilter, 9), seen.Flags),
              std::make_tuple(sections, std::wstring(L"Add Document"), std::wstring(L"All\0*.*\0\0", 9), DWORD{OFN_PATHMUSTEXIST}));
    AnswerFile(L"");
    EXPECT_FALSE(ChooseDocumentFile(sections));
}

}  // namespace
