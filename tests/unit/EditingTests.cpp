// The settings lists' editing: context menu, renaming, dragging, folders and files dropped from the file manager.
#include <shlobj.h>

#include "SettingsTesting.h"

namespace {

using namespace settingstest;
using storetest::Read;
using storetest::RootPath;
namespace faults = platform::reg::faults;

// A drop of the file manager holding these paths, as WM_DROPFILES carries it.
HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES), drop->fWide = TRUE;
    memcpy(drop + 1, names.c_str(), names.size() * sizeof(wchar_t));
    return GlobalUnlock(memory), static_cast<HDROP>(memory);
}
std::wstring Caption(int id) { return Read(RootPath() + L"\\" + std::to_wstring(id), L"Caption").Text().c_str(); }

class Editing : public SettingsTest {
protected:
    // The context menu asked for from the keyboard, read while it is open: "1" enabled, "0" grayed, per entry.
    std::wstring MenuStates(int page)
    {
        std::wstring states;
        apptest::Watch watch([&] {
            const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(apptest::VisibleMenuWindow(), MN_GETHMENU, 0, 0));
            for (int i = 0; menu && i < GetMenuItemCount(menu); ++i)
                states += GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED ? L'0' : L'1';
            return menu && EndMenu();
        });
        SendMessageW(Page(page), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List(page)), -1);
        return states;
    }
    // The list's own label editing, ended by Enter; false when it does not begin.
    bool Rename(int page, int item, const std::wstring& text)
    {
        const HWND edit = ListView_EditLabel(List(page), item);
        return edit && SetWindowTextW(edit, text.c_str()) && !SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    }
    // Item from dragged by the list's own notification and dropped just below the last item.
    void DragBelowLast(int page, int from)
    {
        NMLISTVIEW begin{{List(page), UINT_PTR(GetDlgCtrlID(List(page))), UINT(LVN_BEGINDRAG)}, from};
        SendMessageW(Page(page), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
        RECT last{};
        ListView_GetItemRect(List(page), ListView_GetItemCount(List(page)) - 1, &last, LVIR_BOUNDS);
        MapWindowPoints(List(page), Page(page), reinterpret_cast<POINT*>(&last), 2);
        SendMessageW(Page(page), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(last.left + 4, last.bottom + 1));
        SendMessageW(Page(page), WM_LBUTTONUP, 0, MAKELPARAM(last.left + 4, last.bottom + 1));
    }
};

// Each entry of the context menu is enabled exactly where the page's rules let it act on the selected entry
// (Add Folder..., Rename, Move Up, Move Down, Delete).
TEST_F(Editing, ContextMenuFollowsThePageRules)
{
    const struct { int page, item; const wchar_t* states; } cases[] = {
        {0, 0, L"10010"}, {0, 1, L"10110"}, {0, 3, L"10110"}, {0, 4, L"11111"}, {0, 5, L"11101"}, {0, -1, L"10000"},
        {1, 0, L"10010"}, {1, 2, L"10110"}, {1, 3, L"11101"}, {1, -1, L"10000"}};
    for (const auto& c : cases) {
        ListView_SetItemState(List(c.page), -1, 0, LVIS_SELECTED);
        if (c.item >= 0)
            Tap(List(c.page), c.item);
        EXPECT_EQ(MenuStates(c.page), c.states) << c.page << L" " << c.item;
    }
}

// Renaming: a document takes its own caption ("Caption", cut to what a list shows), a section its Name, at once
// everywhere and stored; built-ins and separators refuse editing; an empty section name is refused with a message;
// a document's empty name brings back the caption of its path and removes "Caption".
TEST_F(Editing, RenameDocumentsAndSections)
{
    EXPECT_FALSE(Rename(0, 0, L"Mine") || Rename(0, 1, L"Mine") || Rename(1, 1, L"Mine"));
    EXPECT_TRUE(Rename(0, 5, L"Budget 2026") && Rename(0, 4, L"Work & Play") && Rename(0, 4, L"") && prompts.size() == 1);
    ExpectState(true);
    EXPECT_EQ(Rows(List(0)), L"1/0:My Documents|4/1:-----------------|2/2:Configuration|3/3:Exit|5/4:Work & Play|7/5:Budget 2026|");
    EXPECT_EQ(Caption(7), L"Budget 2026");
    EXPECT_TRUE(Rename(1, 3, std::wstring(300, L'x')) && Caption(7) == std::wstring(255, L'x'));
    EXPECT_TRUE(Rename(1, 3, L"") && Caption(7).empty() && Rows(List(1)).find(L"7/5:x|") != std::wstring::npos);
    ExpectState(true);
}

// A stored "Caption" is loaded under the entry's new id and stored again with it; an empty or absent one gives the
// caption of the path, and none is written for it.
TEST(EditingStore, CaptionSurvivesRenumbering)
{
    storetest::ClearStore();
    storetest::PutEntries(RootPath(), {L"40 1 0 40 0 C:\\a.txt", L"41 1 0 41 1 C:\\b.txt", L"42 1 0 42 2 C:\\c.txt"});
    storetest::PutText(RootPath() + L"\\40", L"Caption", L"Mine"), storetest::PutText(RootPath() + L"\\42", L"Caption", L"");
    CTodayMenu menu;
    g_RegHelper.LoadTree(&menu);
    ASSERT_EQ(menu.Root.Items.size(), 5u);
    EXPECT_EQ(menu.Root.Items[0]->Caption + menu.Root.Items[1]->Caption + menu.Root.Items[2]->Caption, L"Minebc");
    EXPECT_EQ(g_RegHelper.SaveTree(&menu), 0);
    EXPECT_EQ(storetest::StoredText(), L"D5:C:\\a.txt D6:C:\\b.txt D7:C:\\c.txt D2:Configuration D3:Exit");
    DWORD values[2] = {};
    storetest::Subkeys(RootPath() + L"\\6", &values[0]), storetest::Subkeys(RootPath() + L"\\7", &values[1]);
    EXPECT_TRUE(Caption(5) == L"Mine" && values[0] == 5 && values[1] == 5);
}

// A drag from the first item to below the last does what as many Down presses do, and stores the tree once.
TEST_F(Editing, DragFirstToLastIsAsManyDownPresses)
{
    for (int page : {0, 1}) {
        const int last = ListView_GetItemCount(List(page)) - 1;
        Tap(List(page), 0);
        for (int i = 0; i < last; ++i)
            faults::Reset(), Press(Page(page), IDC_MOVE_DOWN);
        const std::wstring pressed = menutest::Describe(g_TodayMenu.Root);
        const long onePress = faults::Changes();
        Reopen();
        Settings().StoreTree(), faults::Reset();
        DragBelowLast(page, 0);
        EXPECT_TRUE(menutest::Describe(g_TodayMenu.Root) == pressed && faults::Changes() == onePress) << page;
        EXPECT_EQ(Selected(List(page)), last);
        ExpectState(true);
        Reopen();
    }
}

// Files and folders dropped on the window, and a folder picked by "Add Folder...", join the shown page's level in
// their order, stored once per drop; the missing path is skipped and named in one message.
TEST_F(Editing, DropAndAddFolder)
{
    wchar_t temp[MAX_PATH];
    const std::wstring folder(temp, GetTempPathW(MAX_PATH, temp) - 1), a = folder + L"\\a.txt", b = folder + L"\\b.txt";
    CloseHandle(CreateFileW(a.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    CloseHandle(CreateFileW(b.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    platform::SetFolderAnswer([&](HWND) { return folder; });
    const std::wstring added = L"D8:" + a + L" D9:" + folder + L" D10:" + b + L" D11:" + folder;
    for (int page : {0, 1}) {
        SwitchTab(page);
        SendMessageW(GetDlgItem(Page(1), IDC_SECTION_BOX), CB_SETCURSEL, page, 0), Press(Page(1), IDC_SECTION_BOX, CBN_SELCHANGE);
        faults::Reset(), faults::Record(true);
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, folder, L"C:\\gone.txt", b})), 0);
        EXPECT_EQ(std::count(faults::Journal().begin(), faults::Journal().end(), faults::Change::RenameKey), 1);
        Press(Page(page), IDC_ADD_FOLDER);
        EXPECT_EQ(menutest::Describe(g_TodayMenu.Root), page ? L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w " + added + L"] D7:C:\\x"
                                                             : L"D1:\\My Documents -4 D2:Configuration D3:Exit S5:W[D6:C:\\w] D7:C:\\x " + added);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_NE(std::get<1>(prompts[0]).find(L"\nC:\\gone.txt"), std::wstring::npos);
        ExpectState(true);
        Reopen();
    }
    faults::Record(false), platform::SetFolderAnswer({});
}

}  // namespace
