// Finding documents: the ranking over the tree and the live folders, and the find box that shows it.
#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <map>

#include "SettingsTesting.h"
#include "app/CommandLine.h"
#include "app/FindBox.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "menu/FolderMenu.h"
#include "menu/Search.h"
#include "platform/Media.h"

namespace {

// Documents separated by ";", each a path after the titles of its sections ("Work/Reports/C:\a\Zeta"); "*" the defaults.
void Make(CTodayMenu& menu, const std::wstring& documents)
{
    std::map<std::wstring, int> sections;
    for (size_t at = 0; at < documents.size();) {
        const size_t end = std::min(documents.find(L';', at), documents.size());
        const std::wstring document = documents.substr(at, end - at);
        int section = 0;
        for (size_t slash = document.find(L'/'), from = 0; slash != std::wstring::npos; from = slash + 1, slash = document.find(L'/', from)) {
            const std::wstring key = document.substr(0, slash);
            section = sections.count(key) ? sections[key] : (sections[key] = menu.AppendSection(document.substr(from, slash - from), section));
        }
        document == L"*" ? menutest::BuildDefaults(menu) : void(menu.AppendDocument(document.substr(document.rfind(L'/') + 1), section));
        at = end + 1;
    }
}

// What the index finds for text: "caption@place" in rank order.
std::wstring Found(const CTodayMenu& menu, const std::wstring& text)
{
    CSearchIndex index;
    index.AddTree(menu.Root, const_cast<CTodayMenu&>(menu).LiveFolders());
    std::wstring found;
    for (const size_t i : index.Find(text))
        found += (found.empty() ? L"" : L"|") + std::wstring(index[i].caption) + L"@" + std::wstring(index[i].place);
    return found;
}

std::wstring Temp() { return _wgetenv(L"TEMP"); }

}  // namespace

// The five rules in their order (each row lists in the tree the opposite way), then the documents opened more often,
// then the tree's order; every word must match, case, accents and width do not count, documents are found at any
// depth, built-in ones too.
TEST(Search, RanksByRuleThenLaunchesThenTreeOrder)
{
    const struct { const wchar_t *tree, *text; std::vector<int> launched; const wchar_t* found; } rows[] = {
        {L"Kate;ATLauncher", L"at", {}, L"ATLauncher@General|Kate@General"},
        {L"C:\\plans\\x;C:\\x\\Explanation;C:\\x\\My plan;C:\\x\\Pay later next;C:\\x\\Plan", L"pla", {}, L"Plan@General|My plan@General|Explanation@General|x@General"},
        {L"C:\\x\\Deep report;C:\\x\\Budget report;Budget/C:\\x\\Reports;C:\\x\\Old brick", L"br", {}, L"Old brick@General|Budget report@General"},
        {L"C:\\a\\Zeta;Work/Reports/C:\\a\\Zeta", L"rep", {}, L"Zeta@Work \x203A Reports"},
        {L"A/C:\\a\\Note;B/C:\\b\\Note;C:\\c\\Note;D/C:\\d\\Note", L"note", {8, 9, 8}, L"Note@B|Note@General|Note@A|Note@D"},
        {L"C:\\a\\Budget report;C:\\a\\Budget plan;C:\\a\\Report", L"rep bud", {}, L"Budget report@General"},
        {L"C:\\a\\R\x00E9sum\x00E9;C:\\a\\R\x00C9SUM\x00C9;C:\\a\\\xFF52\xFF45\xFF53\xFF55\xFF4D\xFF45;C:\\a\\Resumes", L"RESUME", {},
         L"R\x00E9sum\x00E9@General|R\x00C9SUM\x00C9@General|\xFF52\xFF45\xFF53\xFF55\xFF4D\xFF45@General|Resumes@General"},
        {L"*", L"ex", {}, L"Exit@General"},
        {L"a", L" ", {}, L""},
    };
    for (const auto& row : rows) {
        CTodayMenu menu;
        Make(menu, row.tree);
        for (const int id : row.launched)
            menu.Root.FindItem(id)->Launches = menu.Root.FindItem(id)->Launches.value_or(0) + 1;
        EXPECT_EQ(Found(menu, row.text), row.found) << row.tree << L" / " << row.text;
    }
}

TEST(Search, HoldingFolderIsTheOneAboveThePath)
{
    const std::pair<std::wstring, std::wstring> rows[] = {{L"C:\\a\\b.txt", L"C:\\a"}, {L"C:\\a\\", L"C:\\"}, {L"C:\\b.txt", L"C:\\"},
                                                          {L"%TEMP%\\x.txt", Temp()}, {L"Configuration", L""}};
    for (const auto& [path, folder] : rows)
        EXPECT_EQ(HoldingFolder(path), folder) << path;
}

// The program's own tree, with the main window that the box sends its commands to and that live folders' reads come
// back to; the box closed at the end.
struct FindBox : testing::Test {
    HWND saved = g_hMainWnd, window = (RegisterMainWindowClass(g_hInstance, L"TabulaFindMain"),
                                       CreateWindowExW(0, L"TabulaFindMain", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr));
    // Its letters, and those of "General", are in no text that the tests type but "memo".
    std::wstring folder = L"C:\\Tabula find " + std::to_wstring(GetTickCount());
    void SetUp() override
    {
        storetest::ClearStore(), menutest::Reset(g_TodayMenu), g_hMainWnd = window, CreateDirectoryW(folder.c_str(), nullptr);
        std::wstring documents = L"C:\\Budget report.txt;Work/C:\\Plan.txt;Work/C:\\Reports";
        for (int i = 1; i <= 12; ++i)
            documents += L";C:\\d\\doc" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i) + L".txt";
        Make(g_TodayMenu, documents + L";" + folder + L"\\memo.txt");
    }
    void TearDown() override { DestroyWindow(FindBoxWindow()), menutest::Reset(g_TodayMenu), g_hMainWnd = saved, DestroyWindow(window); }
    HWND Edit() { return GetDlgItem(FindBoxWindow(), 1); }
    HWND List() { return GetDlgItem(FindBoxWindow(), 2); }
    // The rows as the list tells them, the selected one marked "*".
    std::wstring Rows()
    {
        std::wstring rows;
        for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
            wchar_t text[64] = {};
            ListView_GetItemText(List(), i, 0, text, 64);
            rows += (i ? L"|" : L"") + std::wstring(ListView_GetItemState(List(), i, LVIS_SELECTED) ? L"*" : L"") + text;
        }
        return rows;
    }
    // A key at the text box, then what it posted run.
    void Key(WORD key, bool ctrl = false)
    {
        BYTE keys[256] = {};
        GetKeyboardState(keys), keys[VK_CONTROL] = ctrl ? 0x80 : 0, SetKeyboardState(keys);
        SendMessageW(Edit(), WM_KEYDOWN, key, 0), keys[VK_CONTROL] = 0, SetKeyboardState(keys);
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
    }
};

// The box opens at the menu's corner, on top, with the keyboard in its text box; its controls and rows carry names for
// screen readers; each keystroke filters at once, the first row selected, and no result is said in the list.
TEST_F(FindBox, OpensAtTheMenuCornerAndFiltersEachKeystroke)
{
    OpenFindBox(L"p");
    RECT box{}, work{};
    GetWindowRect(FindBoxWindow(), &box), SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(std::make_pair(box.right, box.bottom), std::make_pair(LONG(GetSystemMetrics(SM_CXSCREEN)), work.bottom));
    EXPECT_TRUE(GetWindowLongW(FindBoxWindow(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetFocus(), Edit());
    for (const auto& [control, name] : {std::pair(Edit(), L"Find:"), std::pair(List(), L"Results")}) {
        wchar_t label[32] = {};
        GetWindowTextW(GetWindow(control, GW_HWNDPREV), label, 32);
        EXPECT_STREQ(label, name);
    }
    const std::pair<wchar_t, const wchar_t*> typed[] = {{L'l', L"*Plan"}, {L'q', L"No results"}, {L'\b', L"*Plan"}, {L'\b', L"*Plan|Budget report|Reports"}};
    EXPECT_EQ(Rows(), L"*Plan|Budget report|Reports");
    for (const auto& [key, rows] : typed) {
        SendMessageW(Edit(), WM_CHAR, key, 0);
        EXPECT_EQ(Rows(), rows) << int(key);
    }
}

// Up, Down, Page Up, Page Down, Home and End move the selection from the first row, within the list.
TEST_F(FindBox, KeysMoveInTheList)
{
    OpenFindBox(L"doc");
    const int page = ListView_GetCountPerPage(List()), last = ListView_GetItemCount(List()) - 1;
    const struct { std::vector<WORD> keys; int selected; } rows[] = {
        {{VK_DOWN}, 1}, {{VK_DOWN, VK_DOWN, VK_UP}, 1}, {{VK_UP}, 0}, {{VK_END}, last}, {{VK_END, VK_HOME}, 0},
        {{VK_NEXT}, std::min(page, last)}, {{VK_NEXT, VK_NEXT, VK_NEXT}, last}, {{VK_END, VK_PRIOR}, std::max(0, last - page)}, {{VK_END, VK_DOWN}, last}};
    ASSERT_EQ(last, 11);
    for (const auto& row : rows) {
        SendMessageW(Edit(), WM_CHAR, L'c', 0), SendMessageW(Edit(), WM_CHAR, L'\b', 0);
        for (const WORD key : row.keys)
            Key(key);
        EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_SELECTED), row.selected) << &row - rows;
    }
}

// Enter opens the selected document as its menu item does (counted), Ctrl+Enter the folder that holds it, Esc closes;
// with no result Enter does nothing and the box stays.
TEST_F(FindBox, EnterOpensAsTheMenuCtrlEnterTheFolderEscCloses)
{
    const std::wstring title = folder.substr(folder.rfind(L'\\') + 1);
    CloseHandle(CreateFileW((folder + L"\\memo.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const struct { const wchar_t* typed; WORD key; bool ctrl, stays; int launches; const wchar_t* explorer; } rows[] = {
        {L"zzz", VK_RETURN, false, true, 0, nullptr}, {L"doc02", VK_ESCAPE, false, false, 0, nullptr},
        {L"doc02", VK_RETURN, false, false, 1, nullptr}, {L"memo", VK_RETURN, true, false, 1, title.c_str()}};
    for (const auto& row : rows) {
        OpenFindBox(row.typed), Key(row.key, row.ctrl);
        EXPECT_EQ(FindBoxWindow() != nullptr, row.stays) << &row - rows;
        EXPECT_EQ(g_TodayMenu.Root.FindItem(10)->Launches.value_or(0), DWORD(row.launches)) << &row - rows;
        HWND opened = nullptr;
        if (!row.explorer)
            continue;
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return (opened = apptest::FindWindowWith(L"ExplorerWClass", row.explorer)) != nullptr; }));
        DWORD process = 0;
        GetWindowThreadProcessId(opened, &process);
        const HANDLE explorer = OpenProcess(SYNCHRONIZE, FALSE, process);   // gone before this process ends
        PostMessageW(opened, WM_CLOSE, 0, 0);
        if (explorer) WaitForSingleObject(explorer, 5000), CloseHandle(explorer);
    }
}

// A live folder's files are found from its last read; one never read is read when the box opens, and its files join
// below the rows shown, which keep their places and their selection.
TEST_F(FindBox, LiveFolderFilesArriveBelowWhatIsShown)
{
    for (const wchar_t* name : {L"plan b.txt", L"plan a.txt"})
        CloseHandle(CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    g_TodayMenu.ShowFolderContents(g_TodayMenu.AppendDocument(folder, 0), true);
    platform::media::slow::Delay(platform::media::Call::Listing, 1000);
    OpenFindBox(L"plan");
    ASSERT_EQ(Rows(), L"*Plan");
    Key(VK_DOWN);
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return Rows() == L"*Plan|plan a.txt|plan b.txt"; })) << Rows();
    DestroyWindow(FindBoxWindow()), OpenFindBox(L"plan b.t");
    EXPECT_EQ(Rows(), L"*plan b.txt");
}

// The scroll bar is drawn as the rows need it: gone when a keystroke leaves one row, drawn again with the next many.
TEST_F(FindBox, ScrollBarIsDrawnAsTheRowsNeedIt)
{
    OpenFindBox(L"doc");
    SCROLLBARINFO bar{sizeof(bar)};
    RECT window{};
    ASSERT_TRUE(GetScrollBarInfo(List(), OBJID_VSCROLL, &bar) && GetWindowRect(List(), &window));
    ASSERT_FALSE(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE) << "12 rows fill more than the box";
    // Low in the bar's shaft, above its lower arrow: the list's own colour once the bar is gone.
    const POINT shaft{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2 - window.left,
                      bar.rcScrollBar.bottom - bar.dxyLineButton - 2 - window.top};
    const struct { wchar_t key; bool drawn; } rows[] = {{L'z', false}, {L'\b', true}, {L'z', false}};
    for (const auto& row : rows) {
        SendMessageW(Edit(), WM_CHAR, row.key, 0);
        UpdateWindow(List());
        const HDC dc = GetWindowDC(List());
        EXPECT_EQ(GetPixel(dc, shaft.x, shaft.y) != ListView_GetBkColor(List()), row.drawn) << &row - rows;
        ReleaseDC(List(), dc);
    }
}

// Under a high-contrast scheme the rows take its colours: the selected one its highlight, the others its window colour.
TEST_F(FindBox, TakesTheHighContrastSchemesColours)
{
    apptest::HighContrastScheme scheme({{COLOR_WINDOW, RGB(0, 0, 0)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)}, {COLOR_WINDOWTEXT, RGB(255, 255, 255)}});
    OpenFindBox(L"doc");
    RECT first{}, second{};
    ListView_GetItemRect(List(), 0, &first, LVIR_BOUNDS), ListView_GetItemRect(List(), 1, &second, LVIR_BOUNDS);
    UpdateWindow(List());
    const HDC dc = GetDC(List());
    EXPECT_EQ(GetPixel(dc, first.right - 2, first.top + 1), RGB(26, 235, 255));
    EXPECT_EQ(GetPixel(dc, second.right - 2, second.top + 1), RGB(0, 0, 0));
    ReleaseDC(List(), dc);
}

// A letter that starts no entry of the open menu opens the box with it once the menu is closed; a tree handed over
// while the menu with "Recent" is open is shown whole, "Recent" still leading it.
TEST_F(FindBox, OpensFromTheMenuWithTheLetterAndRecentSurvivesAHandedOverTree)
{
    const std::wstring file = folder + L"\\menu.json";
    std::ofstream(file.c_str()) << R"({"version": 1, "hotkey": 0, "tree": [{"kind": "document", "name": "C:\\q.txt", "LastLaunch": 5},
        {"kind": "section", "name": "S", "children": [{"kind": "document", "name": "C:\\r.txt"}]}]})";
    g_TodayMenu.SetShowRecent(true), g_TodayMenu.Launch(5);
    const COPYDATASTRUCT data{kImportFileData, DWORD((file.size() + 1) * 2), const_cast<wchar_t*>(file.c_str())};
    apptest::Watch handed([&] { return apptest::VisibleMenuWindow() && SendMessageW(window, WM_COPYDATA, 0, LPARAM(&data)) == kExitDone; });
    SendMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    ASSERT_TRUE(handed.done());
    EXPECT_EQ(menutest::Shown(g_TodayMenu.GetRootMenu()), L"Recent[Budget report]|q#5|S[r#7]|Configuration#2|Exit#3");
    menutest::CheckMenu(g_TodayMenu.Root);
    g_TodayMenu.SetShowRecent(false);
    apptest::Watch typed([&] { return apptest::VisibleMenuWindow() && (apptest::PressKeys({'Z'}), true); });
    SendMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
    ASSERT_TRUE(typed.done() && apptest::WaitFor(5000, [] { return FindBoxWindow() != nullptr; }));
    wchar_t text[8] = {};
    GetWindowTextW(Edit(), text, 8);
    EXPECT_STREQ(text, L"z");
}
