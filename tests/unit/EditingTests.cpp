#include <thread>

#include "SettingsTesting.h"
#include "app/MainWindow.h"
#include "platform/Media.h"

using namespace settingstest;
namespace faults = platform::reg::faults;

// A document's stored "Caption", "-" when it has none.
static std::wstring Caption(int id, storetest::Value v = {}) { return (v = storetest::Read(storetest::RootPath() + L"\\" + std::to_wstring(id), L"Caption")).type == REG_SZ ? v.Text().c_str() : L"-"; }
// The context menu asked for from the keyboard, read while it is open: "1" enabled, "0" grayed, "c" checked, per entry.
static std::wstring MenuStates(HWND page, HWND list, std::wstring states = L"")
{
    apptest::Watch watch([&] {
        const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(apptest::VisibleMenuWindow(), MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
            states += GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED ? L'c' : GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED ? L'0' : L'1';
        return menu && EndMenu();
    });
    return SendMessageW(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1), states;
}
// The list's own label editing, ended by Enter; false when it does not begin.
static bool Rename(HWND list, int item, const std::wstring& text, HWND edit = nullptr) { return (edit = ListView_EditLabel(list, item)) && SetWindowTextW(edit, text.c_str()) && !SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0); }

// Each entry of the context menu (Add Folder..., Rename, Move Up, Move Down, Delete, Properties...) is enabled where the
// page's rules allow.
TEST_F(SettingsTest, EditingContextMenuFollowsThePageRules)
{
    const struct { int page, item; const wchar_t* states; } cases[] = {{0, 6, L"101010"},   // a separator of the user's
        {0, 0, L"100100"}, {0, 1, L"101100"}, {0, 3, L"101100"}, {0, 4, L"111110"}, {0, 5, L"111111"}, {0, -1, L"100000"},
        {1, 0, L"100100"}, {1, 2, L"101100"}, {1, 3, L"111011"}, {1, -1, L"100000"}};
    Press(Page(0), IDC_ADD_SEPARATOR);
    ASSERT_TRUE(apptest::WaitFor(10000, [] { return g_Services.Icons().Known(L"C:\\x"); }));   // no folder: no "Show Contents"
    for (const auto& c : cases) {
        ListView_SetItemState(List(c.page), -1, 0, LVIS_SELECTED);
        c.item >= 0 ? Tap(List(c.page), c.item) : void();
        EXPECT_EQ(MenuStates(Page(c.page), List(c.page)), c.states) << c.page << L" " << c.item;
    }
}

// Renames in turn: a document takes its own caption (cut to 255), a section its Name, everywhere and stored; built-ins and
// separators refuse editing; a section's empty name is refused with a message, a document's removes its "Caption"; a
// name left as it was (the nameless section 8) is no change. Whether editing began, messages, stored, 7's "Caption".
TEST_F(SettingsTest, EditingRenamesDocumentsAndSections)
{
    g_TodayMenu.AppendSection(L"", 0), CSettingsState::Of(window).FillList(kSectionsTab);
    const struct { int page, item; std::wstring text; bool begins; size_t prompts; bool stored; std::wstring caption; } renames[] = {
        {0, 0, L"Mine", false, 0, false, L"-"}, {0, 1, L"Mine", false, 0, false, L"-"}, {1, 1, L"Mine", false, 0, false, L"-"},
        {0, 6, L"", true, 0, false, L"-"}, {0, 5, L"Budget", true, 0, true, L"Budget"}, {0, 4, L"Work & Play", true, 0, true, L"Budget"},
        {0, 4, L"", true, 1, true, L"Budget"}, {1, 3, std::wstring(300, L'x'), true, 1, true, std::wstring(255, L'x')}, {1, 3, L"", true, 1, true, L"-"}};
    for (const auto& r : renames) {
        const bool begins = Rename(List(r.page), r.item, r.text);
        g_StoreWriter.Flush();
        EXPECT_EQ(std::make_tuple(begins, prompts.size(), !storetest::StoredText().empty(), Caption(7)),
                  std::make_tuple(r.begins, r.prompts, r.stored, r.caption)) << &r - renames;
    }
    ExpectState(true, L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:Work & Play|7/5:x|8/6:|", kGeneral);
}

// Real keys on either list reach the commands: Alt+Up and Alt+Down move, Delete deletes (refused as the button refuses),
// F2 and a typed name rename, Shift+F10 opens the context menu, where Up, Up and Enter choose Delete, the command
// before "Properties...".
TEST_F(SettingsTest, EditingKeysReachTheCommands)
{
    const std::wstring tree = L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w] D7:C:\\x";
    const struct { int page, item; std::vector<WORD> keys, then; std::wstring stored, caption = L"-", refusal = L""; } cases[] = {
        {0, 4, {VK_MENU, VK_UP}, {}, L"D1:\\My Documents -4 D2:Configuration S5:W[D6:C:\\w] D3:Exit D7:C:\\x"},
        {0, 0, {VK_MENU, VK_DOWN}, {}, L"-4 D1:\\My Documents D2:Configuration D3:Exit S5:W[D6:C:\\w] D7:C:\\x"},
        {0, 0, {VK_DELETE}, {}, L"", L"-", kNotRemovable}, {0, 5, {VK_DELETE}, {}, L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w]"},
        {0, 4, {VK_F2}, {'Z', VK_RETURN}, L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:z[D6:C:\\w] D7:C:\\x"},
        {0, 4, {VK_SHIFT, VK_F10}, {VK_UP, VK_UP, VK_RETURN}, L"D1:\\My Documents -4 D2:Configuration D3:Exit D7:C:\\x"},
        {1, 3, {VK_MENU, VK_UP}, {}, L"D1:\\My Documents -4 D2:Configuration D7:C:\\x S5:W[D6:C:\\w] D3:Exit"},
        {1, 0, {VK_MENU, VK_DOWN}, {}, L"D2:Configuration -4 D1:\\My Documents D3:Exit S5:W[D6:C:\\w] D7:C:\\x"},
        {1, 1, {VK_DELETE}, {}, L"", L"-", L"You cannot remove selected item"}, {1, 3, {VK_F2}, {'Z', VK_RETURN}, tree + L"{Caption:z}", L"z"},
        {1, 3, {VK_SHIFT, VK_F10}, {VK_UP, VK_UP, VK_RETURN}, L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w]"}};
    for (const auto& c : cases) {
        Reopen(), Front(c.page), Tap(List(c.page), c.item);
        apptest::Watch then([&, list = List(c.page)] {   // once the context menu or the label's edit box takes the keys
            const bool taken = apptest::VisibleMenuWindow() || GetFocus() != list;
            for (size_t i = 0; taken && i < c.then.size(); ++i)
                apptest::PressKeys({c.then[i]});
            return taken || c.then.empty();
        });
        const auto state = [&] { return std::make_tuple(storetest::StoredText(), Caption(7), prompts.empty() ? L"" : std::get<1>(prompts[0])); };
        Keys(c.keys, [&] { return state() == std::make_tuple(c.stored, c.caption, c.refusal); });
        EXPECT_EQ(state(), std::make_tuple(c.stored, c.caption, c.refusal)) << &c - cases;
    }
}

// A stored "Caption" is loaded and stored again under the entry's new id; an empty or absent one is the path's caption.
TEST(EditingStore, CaptionSurvivesRenumbering)
{
    const std::wstring root = (storetest::ClearStore(), storetest::RootPath());
    storetest::PutEntries(root, {L"40 1 0 40 0 C:\\a.txt", L"41 1 0 41 1 C:\\b.txt", L"42 1 0 42 2 C:\\c.txt"});
    storetest::PutText(root + L"\\40", L"Caption", L"Mine"), storetest::PutText(root + L"\\42", L"Caption", L"");
    CTodayMenu menu;
    std::wstring captions = (g_RegHelper.LoadTree(&menu), g_RegHelper.SaveTree(&menu), L"");
    for (const auto& item : menu.Root.Items)
        captions += item->Caption + L"|";
    EXPECT_EQ(captions, L"Mine|b|c|Configuration|Exit|");
    EXPECT_EQ(storetest::StoredText(), L"D5:C:\\a.txt{Caption:Mine} D6:C:\\b.txt D7:C:\\c.txt D2:Configuration D3:Exit");
}

// A drag of the first item to below the last does what as many Down presses do, and stores the tree once.
TEST_F(SettingsTest, EditingDragFirstToLastIsAsManyDownPresses)
{
    for (int page : {0, 1}) {
        const int last = (Reopen(), Tap(List(page), 0), ListView_GetItemCount(List(page)) - 1);
        for (int i = 0; i < last; ++i)
            faults::Reset(), Press(Page(page), IDC_MOVE_DOWN), g_StoreWriter.Flush();
        const auto pressed = std::make_pair(menutest::Describe(g_TodayMenu.Root), faults::Changes());
        const std::wstring top = Rows(List(0)), shown = Rows(List(1));
        Reopen(), g_RegHelper.SaveTree(&g_TodayMenu), faults::Reset();
        NMLISTVIEW begin{{List(page), UINT_PTR(GetDlgCtrlID(List(page))), UINT(LVN_BEGINDRAG)}, 0};
        RECT below{LVIR_BOUNDS};
        SendMessageW(List(page), LVM_GETITEMRECT, last, LPARAM(&below)), MapWindowPoints(List(page), Page(page), LPPOINT(&below), 2);
        SendMessageW(Page(page), WM_NOTIFY, begin.hdr.idFrom, LPARAM(&begin)), SendMessageW(Page(page), WM_LBUTTONUP, 0, MAKELPARAM(below.left + 4, below.bottom + 1));
        g_StoreWriter.Flush();
        EXPECT_EQ(std::make_pair(menutest::Describe(g_TodayMenu.Root), faults::Changes()), pressed) << page;
        EXPECT_EQ(Selected(List(page)), last) << page;
        ExpectState(true, top, shown);
    }
}

// A drop and "Add Folder..." add to the shown page's level in order (on the Options tab to the top level), a drop stored
// once, its missing path told and skipped.
TEST_F(SettingsTest, EditingDropsAndAddsFolders)
{
    const std::wstring file = L"C:\\windows\\win.ini", folder = L"C:\\windows", names = file + L'\0' + L"C:\\gone.txt" + L'\0' + folder + L'\0' + L'\0',
                       added = L"D8:" + file + L" D9:" + folder + L" D10:" + folder;
    platform::SetFolderAnswer([&](HWND) { return folder; });
    for (int page : {0, 2, 1}) {
        Reopen(), SwitchTab(page), faults::Record(true);
        SendMessageW(GetDlgItem(Page(1), IDC_SECTION_BOX), CB_SETCURSEL, page, 0), Press(Page(1), IDC_SECTION_BOX, CBN_SELCHANGE);
        const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(drop));   // the paths after the header, each ended by a null
        *files = {sizeof(DROPFILES), {}, FALSE, TRUE}, memcpy(files + 1, names.data(), names.size() * sizeof(wchar_t)), GlobalUnlock(drop);
        SendMessageW(window, WM_DROPFILES, WPARAM(drop), 0);
        ASSERT_TRUE(apptest::WaitFor(10000, [&] { return !prompts.empty(); })) << page;   // the disk checked on a worker
        g_StoreWriter.Flush();
        EXPECT_EQ(std::count(faults::Journal().begin(), faults::Journal().end(), faults::Change::RenameKey), 1) << page;
        Press(Page(page), IDC_ADD_FOLDER);   // on the Documents page of "General" from the Options tab
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w" +
                  (page == 1 ? L" " + added + L"] D7:C:\\x" : L"] D7:C:\\x " + added));
        ASSERT_EQ(prompts.size(), 1u) << page;
        EXPECT_NE(std::get<1>(prompts[0]).find(L"\nC:\\gone.txt"), std::wstring::npos);
        const std::wstring rows = page == 1 ? L"6/0:w|8/1:win|9/2:windows|10/3:windows|" : L"8/6:win|9/7:windows|10/8:windows|";
        ExpectState(true, page == 1 ? kTop : kTop + rows, page == 1 ? rows : kGeneral + rows);
    }
    platform::SetFolderAnswer({});
    // A folder of the user's also offers to show its contents as a sub-menu, once the disk has said it is one: checked
    // once chosen, stored, still selected.
    ASSERT_TRUE(apptest::WaitFor(10000, [&] { return g_Services.Icons().IsFolder(folder).has_value(); }));
    Tap(List(1), 2);
    EXPECT_EQ(MenuStates(Page(1), List(1)), L"1111111");
    Press(Page(1), IDC_SHOW_CONTENTS);
    EXPECT_EQ(MenuStates(Page(1), List(1)), L"11111c1");
    EXPECT_EQ(storetest::Read(storetest::RootPath() + L"\\5\\9", L"Expand").Dword(), 1u);
}

// The store never holds the window up: moves pressed while a write hangs change the menu and the lists at once, and the
// store holds the last of them once the disk answers. Exit waits for what is pending: when it asks its question, the
// store holds every change.
TEST_F(SettingsTest, EditsNeverWaitForTheStoreAndExitWaitsForIt)
{
    Tap(List(0), 0);
    platform::media::slow::Hang(platform::media::Call::Store);
    for (int press = 0; press < 3; ++press)
        Press(sections, IDC_MOVE_DOWN);
    EXPECT_EQ(menutest::Describe(g_TodayMenu.Root, false), L"- D:Configuration D:Exit D:\\My Documents S:W[D:C:\\w] D:C:\\x");
    EXPECT_EQ(Selected(List(0)), 3);
    platform::media::slow::Reset();
    EXPECT_EQ(storetest::StoredText(), menutest::Describe(g_TodayMenu.Root));
    // Exit, with a section added while the disk hangs and answering only a moment later.
    RegisterMainWindowClass(g_hInstance, L"TabulaExit");
    const HWND main = CreateWindowExW(0, L"TabulaExit", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    platform::media::slow::Hang(platform::media::Call::Store);
    Press(sections, IDC_ADD_SEPARATOR);
    std::thread answer([] { Sleep(500), platform::media::slow::Reset(); });
    bool stored = false;
    platform::SetMessageAnswer([&](auto...) { stored = storetest::KeyExists(storetest::RootPath() + L"\\8"); return IDNO; });
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    answer.join();
    EXPECT_TRUE(stored);
}
