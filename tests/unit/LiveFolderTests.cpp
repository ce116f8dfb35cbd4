// Live folders: a document shown as its folder's contents, read from disk each time its menu opens.
#include <filesystem>
#include <fstream>

#include "SettingsTesting.h"
#include "app/MainWindow.h"
#include "config/PageCommands.h"
#include "menu/FolderMenu.h"
#include "platform/Media.h"

using menutest::Shown;

static std::wstring Make(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL, bool folder = false)
{
    folder ? CreateDirectoryW(path.c_str(), nullptr) : CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return SetFileAttributesW(path.c_str(), attributes), path;
}

struct LiveFolder : testing::Test {
    std::wstring root = Make(std::wstring(_wgetenv(L"TEMP")) + L"\\live" + std::to_wstring(GetTickCount()), FILE_ATTRIBUTE_DIRECTORY, true);
    HWND window = (RegisterMainWindowClass(g_hInstance, L"TabulaLive"),
                   CreateWindowExW(0, L"TabulaLive", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr));
    void SetUp() override { storetest::ClearStore(), menutest::Reset(g_TodayMenu), menutest::Build(g_TodayMenu, L"D:C:\\x.txt S:Work[D:C:\\y.txt]"); }
    void TearDown() override { menutest::Reset(g_TodayMenu), DestroyWindow(window); }
    // The live document's menu after WM_INITMENUPOPUP, as the main window gets it when the menu opens; a read that took
    // longer than its budget is shown by a later opening.
    HMENU Open(HMENU menu)
    {
        const auto open = [&] { return SendMessageW(window, WM_INITMENUPOPUP, WPARAM(menu), 0), g_TodayMenu.LiveFolders().Find(menu); };
        const CFolderMenu* folder = open();
        return folder && folder->ReadPending() && apptest::WaitFor(10000, [&] { return !open()->ReadPending(); }), menu;
    }
    HMENU Live(int id) { const CFolderMenu* folder = g_TodayMenu.LiveFolder(id); return folder ? folder->Menu() : nullptr; }
};

// Sub-folders first, then files, each in the shell's order, hidden and system ones left out, no ids; the tree's item
// keeps its id and entry through moves and swaps; a missing and an empty folder show their grayed notes.
TEST_F(LiveFolder, ShowsContentsWithoutIds)
{
    for (const wchar_t* name : {L"a10.txt", L"a2.txt", L"B.txt"})
        Make(root + L"\\" + name);
    Make(root + L"\\.h.txt", FILE_ATTRIBUTE_HIDDEN), Make(root + L"\\s.txt", FILE_ATTRIBUTE_SYSTEM);
    Make(root + L"\\hid", FILE_ATTRIBUTE_HIDDEN, true), Make(root + L"\\zz", FILE_ATTRIBUTE_DIRECTORY, true), Make(root + L"\\zz\\in.txt");
    const int live = g_TodayMenu.AppendDocument(root, 6), empty = g_TodayMenu.AppendDocument(Make(root + L" empty", FILE_ATTRIBUTE_DIRECTORY, true), 0);
    for (int id : {live, empty, g_TodayMenu.AppendDocument(root + L"\\gone", 0)})
        EXPECT_TRUE(g_TodayMenu.ShowFolderContents(id, true));
    EXPECT_FALSE(g_TodayMenu.ShowFolderContents(5, false));
    g_TodayMenu.SwapDocuments(7, live), g_TodayMenu.MoveEntry(empty, 0);
    const HMENU zz = GetSubMenu(Open(Live(live)), 1);
    Open(zz), Open(Live(empty)), Open(Live(10));
    menutest::CheckMenu(g_TodayMenu.Root);
    const std::wstring name = root.substr(root.rfind(L'\\') + 1), contents = L"Open Folder|zz[Open Folder|in.txt]|a2.txt|a10.txt|B.txt";
    EXPECT_EQ(name + L" empty#9[Open Folder|(empty)~]|x#5|Work[" + name + L"#8[" + contents + L"]|y#7]|gone#10[(not available)~]",
              Shown(g_TodayMenu.GetRootMenu()));
    // Opened again, the folder is read anew and what it showed before is gone.
    Make(root + L"\\a3.txt");
    EXPECT_EQ(L"Open Folder|zz[]|a2.txt|a3.txt|a10.txt|B.txt", Shown(Open(Live(live))));
    EXPECT_FALSE(IsMenu(zz));
}

// Past 500 entries the menu ends with "More...", which opens the folder.
TEST_F(LiveFolder, EndsWithMoreDotsPast500Entries)
{
    const int live = g_TodayMenu.AppendDocument(root, 0);
    g_TodayMenu.ShowFolderContents(live, true);
    for (int count : {500, 501}) {
        for (int i = 1; i <= count; ++i)
            Make(root + L"\\f" + std::to_wstring(i) + L".txt");
        const HMENU menu = Open(Live(live));
        ASSERT_EQ(GetMenuItemCount(menu), count == 500 ? 501 : 502);
        EXPECT_EQ(count == 500 ? L"f500.txt" : L"More...", Shown(menu).substr(Shown(menu).rfind(L'|') + 1));
    }
    SendMessageW(window, WM_MENUCOMMAND, 501, LPARAM(Live(live)));
    HWND opened = nullptr;
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return (opened = apptest::FindWindowWith(L"ExplorerWClass", root.substr(root.rfind(L'\\') + 1))); }));
    PostMessageW(opened, WM_CLOSE, 0, 0);
}

// Choosing a file in a live menu with real keys (letters select) launches it, and the menu is freed once it closed; the choice to
// show contents is stored as "Expand" and kept through a load that renumbers the entries and the next save.
TEST_F(LiveFolder, ChoosingLaunchesAndExpandIsStored)
{
    Make(root + L"\\sub", FILE_ATTRIBUTE_DIRECTORY, true), Make(root + L"\\live note.txt");
    const int live = g_TodayMenu.AppendDocument(root, 6);
    CRegHelper store;
    ASSERT_TRUE(apptest::WaitFor(10000, [&] { return CanShowContents(g_TodayMenu, 5) && CanShowContents(g_TodayMenu, live); }));   // the disk has said
    for (int id : {5, 6, live}) {   // a missing file, a section, a folder
        EXPECT_EQ(std::optional(id == live), CanShowContents(g_TodayMenu, id)) << id;
        EXPECT_EQ(id == live, SetShowContents(g_TodayMenu, id, true)) << id;
    }
    g_TodayMenu.RemoveEntry(5);
    ASSERT_TRUE(SetShowContents(g_TodayMenu, live, true));
    store.SaveTree(&g_TodayMenu);
    EXPECT_EQ(1u, storetest::Read(storetest::RootPath() + L"\\6\\8", L"Expand").Dword());
    CTodayMenu loaded;
    store.LoadTree(&loaded);
    EXPECT_EQ(L"S5:Work[D6:C:\\y.txt D7:" + root + L"] D2:Configuration D3:Exit", menutest::Describe(loaded.Root));
    EXPECT_TRUE(loaded.LiveFolder(7));
    EXPECT_FALSE(loaded.LiveFolder(6));
    store.SaveTree(&loaded);
    EXPECT_EQ(1u, storetest::Read(storetest::RootPath() + L"\\5\\7", L"Expand").Dword());
    EXPECT_EQ(DWORD(REG_NONE), storetest::Read(storetest::RootPath() + L"\\5\\6", L"Expand").type);

    SetForegroundWindow(window);
    apptest::Watch keys([] { return apptest::PressKeys({'W', VK_RIGHT, VK_DOWN, VK_RIGHT, 'L', VK_RETURN}), true; });
    TrackPopupMenuEx(g_TodayMenu.GetRootMenu(), TPM_LEFTALIGN, 10, 10, window, nullptr);
    HWND opened = nullptr;
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return (opened = apptest::FindWindowWith(L"Notepad", L"live note")) != nullptr; }));
    PostMessageW(opened, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, GetMenuItemCount(Live(live)));
}

// A live sub-folder's choice is made before or after the close; what it shows stays until that choice, or the next opening.
TEST_F(LiveFolder, ChoiceIsMadeBeforeOrAfterTheClose)
{
    Make(root + L"\\sub", FILE_ATTRIBUTE_DIRECTORY, true);
    const int live = g_TodayMenu.AppendDocument(root, 0);
    g_TodayMenu.ShowFolderContents(live, true);
    const std::wstring script = root + L"\\sub\\chosen.cmd";
    for (int order : {0, 1, 2}) {   // command, close; close, command (desktop Windows may post it after, Wine before); close
        std::ofstream(std::filesystem::path(script)) << "del %0\n";   // a document that deletes itself when opened
        const HMENU sub = Open(GetSubMenu(Open(Live(live)), 1));
        ASSERT_EQ(L"Open Folder|chosen.cmd", Shown(sub));
        if (order == 0)
            SendMessageW(window, WM_MENUCOMMAND, 1, LPARAM(sub));
        for (HMENU menu : {sub, Live(live), g_TodayMenu.GetRootMenu()})
            SendMessageW(window, WM_UNINITMENUPOPUP, WPARAM(menu), 0);
        for (MSG msg; PeekMessageW(&msg, window, 0, 0, PM_REMOVE);)   // whatever the close posted comes first
            DispatchMessageW(&msg);
        EXPECT_EQ(order == 0 ? L"" : L"Open Folder|chosen.cmd", Shown(sub)) << order;
        if (order == 1)
            SendMessageW(window, WM_MENUCOMMAND, 1, LPARAM(sub));
        if (order != 2) {
            EXPECT_TRUE(apptest::WaitFor(10000, [&] { return GetFileAttributesW(script.c_str()) == INVALID_FILE_ATTRIBUTES; })) << order;
        }
        Open(g_TodayMenu.GetRootMenu());
        EXPECT_FALSE(IsMenu(sub)) << order;
        EXPECT_EQ(0, GetMenuItemCount(Live(live))) << order;
    }
}

// A typed letter selects the next entry starting with it, either case, wrapping round to the top; in a tree menu and a live one.
// A letter that starts none closes the menu and asks for the find box with it.
TEST_F(LiveFolder, TypedLetterSelectsTheNextEntryWrappingRound)
{
    for (const wchar_t* name : {L"a1.txt", L"b.txt", L"A2.txt"})
        Make(root + L"\\" + name);
    const int live = g_TodayMenu.AppendDocument(root, 0);
    g_TodayMenu.ShowFolderContents(live, true);
    const HMENU top = g_TodayMenu.GetRootMenu(), folder = Open(Live(live));
    ASSERT_EQ(L"x#5|Work[y#7]|" + root.substr(root.rfind(L'\\') + 1) + L"#8[Open Folder|a1.txt|A2.txt|b.txt]", Shown(top));
    const struct { HMENU menu; int highlighted; wchar_t typed; LRESULT selects; } rows[] = {
        {top, 0, L'w', MAKELRESULT(1, MNC_SELECT)}, {top, 2, L'X', MAKELRESULT(0, MNC_SELECT)}, {top, 1, L'q', MAKELRESULT(0, MNC_CLOSE)},
        {folder, 1, L'A', MAKELRESULT(2, MNC_SELECT)}, {folder, 2, L'a', MAKELRESULT(1, MNC_SELECT)},
        {folder, 3, L'o', MAKELRESULT(0, MNC_SELECT)}, {folder, 0, L'b', MAKELRESULT(3, MNC_SELECT)}, {folder, 0, L'Z', MAKELRESULT(0, MNC_CLOSE)},
        {top, 1, L' ', MNC_IGNORE},
    };
    for (const auto& row : rows) {
        // The highlight as the menu loop leaves it (Wine's HiliteMenuItem only moves the highlight of a menu on the screen).
        for (int i = 0; i < GetMenuItemCount(row.menu); ++i) {
            MENUITEMINFOW state{sizeof(state), MIIM_STATE, 0, UINT(i == row.highlighted ? MFS_HILITE : 0)};
            SetMenuItemInfoW(row.menu, i, TRUE, &state);
        }
        EXPECT_EQ(row.selects, SendMessageW(window, WM_MENUCHAR, MAKEWPARAM(row.typed, MF_POPUP), LPARAM(row.menu))) << &row - rows;
        const bool find = HIWORD(row.selects) == MNC_CLOSE;
        EXPECT_EQ(g_TodayMenu.TakeFindRequest(), find ? std::optional<wchar_t>(row.typed) : std::nullopt) << &row - rows;
    }
}

// A read that takes longer than its budget shows "(reading...)" and goes on: a later opening shows what it found.
TEST_F(LiveFolder, ASlowReadShowsReadingUntilItEnds)
{
    Make(root + L"\\a.txt");
    const int live = g_TodayMenu.AppendDocument(root, 0);
    g_TodayMenu.ShowFolderContents(live, true);
    for (const DWORD delay : {0u, 1000u}) {
        platform::media::slow::Delay(platform::media::Call::Listing, delay);
        SendMessageW(window, WM_INITMENUPOPUP, WPARAM(Live(live)), 0);
        EXPECT_EQ(delay ? L"(reading...)~" : L"Open Folder|a.txt", Shown(Live(live))) << delay;
        EXPECT_EQ(L"Open Folder|a.txt", Shown(Open(Live(live)))) << delay;
    }
}

// A folder whose read hangs is not read again while that read goes on, by a new menu of it either; a read not started
// leaves the queue when its menu closes; the hung reads give their threads up after their budget, so that a healthy
// folder on the same disk, kept waiting behind them, is read; once the hung read ends, it is shown.
TEST_F(LiveFolder, AHungReadIsNotReadAgainAndGivesItsPlaceUp)
{
    for (const std::wstring sub : {L"\\a", L"\\b", L"\\ok"})
        Make(root + sub, FILE_ATTRIBUTE_DIRECTORY, true), Make(root + sub + L"\\in.txt");
    const int live = g_TodayMenu.AppendDocument(root, 0), ok = g_TodayMenu.AppendDocument(root + L"\\ok", 0);
    g_TodayMenu.ShowFolderContents(live, true), g_TodayMenu.ShowFolderContents(ok, true);
    const auto init = [&](HMENU menu) { return SendMessageW(window, WM_INITMENUPOPUP, WPARAM(menu), 0), Shown(menu); };
    HMENU parent = Open(Live(live));
    platform::media::slow::Hang(platform::media::Call::Listing, 2);
    EXPECT_EQ(init(GetSubMenu(parent, 1)), L"(reading...)~");
    EXPECT_EQ(init(GetSubMenu(parent, 2)), L"(reading...)~");   // the disk's places taken
    EXPECT_EQ(init(Live(ok)), L"(reading...)~");
    SendMessageW(window, WM_UNINITMENUPOPUP, WPARAM(Live(ok)), 0);
    EXPECT_EQ(g_Services.Readers().Workers().Waiting(), 0);
    parent = Open(Live(live));
    EXPECT_EQ(init(GetSubMenu(parent, 1)), L"(reading...)~");
    EXPECT_EQ(Shown(Open(Live(ok))), L"Open Folder|in.txt");
    platform::media::slow::Reset();
    EXPECT_EQ(Shown(Open(GetSubMenu(parent, 1))), L"Open Folder|in.txt");
}
