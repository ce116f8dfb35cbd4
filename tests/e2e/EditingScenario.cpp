#include <gtest/gtest.h>

#include "AppTesting.h"
#include "StoreTesting.h"
#include "app/TryIcon.h"
#include "res/resource.h"

// The menu opened by a tap on the icon (at alternate points: no double click), or the context menu now open.
static RECT OpenMenu(bool tap = true, RECT r = {})
{
    static int shift = 0;
    tap ? apptest::ClickAt(GetSystemMetrics(SM_CXSCREEN) - 8 - (shift ^= 6), GetSystemMetrics(SM_CYSCREEN) - 10) : void();
    return apptest::WaitFor(10000, [] { return apptest::VisibleMenuWindow() != nullptr; }), GetWindowRect(apptest::VisibleMenuWindow(), &r), r;
}
// The middle of a row of another process's list on the screen: below its header, rows as high as the list says.
static POINT Row(HWND list, int row, RECT header = {})
{
    const int height = HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 2, -1)) - HIWORD(SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, -1));
    return GetWindowRect(FindWindowExW(list, nullptr, L"SysHeader32", nullptr), &header), POINT{header.left + 20, header.bottom + height * row + height / 2};
}

// "My Documents" dragged onto the lower half of the document, the document renamed from the context menu by typing:
// the registry holds the new order and the "Caption", and the menu opened again is wider for the longer name.
TEST(EndToEnd, DragAndRenameWithTheMouse)
{
    storetest::ClearStore(), storetest::PutEntries(storetest::RootPath(), {L"1 1 1 1 0 \\My Documents", L"4 3 1 4 1", L"5 1 0 5 2 C:\\x.txt", L"2 1 1 2 3 Configuration", L"3 1 1 3 4 Exit"});
    SHELLEXECUTEINFOW run{sizeof(run), SEE_MASK_NOCLOSEPROCESS, nullptr, nullptr, L"Z:" TABULA_EXE};
    const struct Ending { HANDLE process; ~Ending() { TerminateProcess(process, 1), CloseHandle(process); } } ending{ShellExecuteExW(&run) ? run.hProcess : nullptr};
    ASSERT_TRUE(apptest::WaitFor(20000, [] { return apptest::ShellHasIcon(FindWindowW(L"TABULA", L"Tabula"), TRAY_ICON_ID); }));
    const RECT before = OpenMenu();
    apptest::ClickAt((before.left + before.right) / 2, before.bottom - 35);   // "Configuration"
    HWND list = nullptr;   // the Sections list, once the settings window shows it and has the input
    ASSERT_TRUE(apptest::WaitFor(10000, [&] {
        for (HWND page = nullptr; !list && (page = FindWindowExW(GetDlgItem(apptest::FindWindowWith(L"#32770", L"Dialog"), IDC_TABS), page, L"#32770", nullptr));)
            list = GetDlgItem(page, IDC_SECTIONS_LIST);
        return IsWindowVisible(list) && GetForegroundWindow() == GetAncestor(list, GA_ROOT) && (Sleep(500), true);
    }));
    const POINT first = Row(list, 0), second = Row(list, 1), third = Row(list, 2);   // presses and releases move too: Wine may move the pointer
    apptest::ClickAt(first.x, first.y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_MOVE);
    apptest::ClickAt(third.x, third.y + 3, MOUSEEVENTF_MOVE, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP);   // the lower half of row 3
    EXPECT_TRUE(apptest::WaitFor(10000, [] { return storetest::StoredText() == L"-4 D5:C:\\x.txt D1:\\My Documents D2:Configuration D3:Exit"; }));
    apptest::ClickAt(second.x, second.y, MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTUP);
    const RECT context = OpenMenu(false);
    apptest::ClickAt(context.left + 20, context.top + (context.bottom - context.top) * 3 / 10);   // "Rename", 2nd of 5
    EXPECT_TRUE(apptest::WaitFor(10000, [&] { return FindWindowExW(list, nullptr, L"Edit", nullptr) != nullptr; }));
    for (const wchar_t* key = L"RENAMEDTOSOMETHINGLONGER\r"; *key; ++key)
        apptest::PressKeys({WORD(*key)});
    EXPECT_TRUE(apptest::WaitFor(10000, [] { return storetest::Read(storetest::RootPath() + L"\\5", L"Caption").Text() == std::wstring(L"renamedtosomethinglonger", 25); }));
    EXPECT_LT(OpenMenu().left, before.left);   // the menu stands at the screen's right edge
}
