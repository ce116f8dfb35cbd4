// The real tabula.exe edited with the real mouse and keys: an entry of the Sections list dragged into place, a
// document renamed through the list's context menu; the menu and the registry follow.
#include <gtest/gtest.h>

#include "AppTesting.h"
#include "StoreTesting.h"
#include "app/TryIcon.h"
#include "res/resource.h"

namespace {

using apptest::ClickAt;
using apptest::WaitFor;

HWND Main() { return FindWindowW(L"TABULA", L"Tabula"); }
RECT MenuRect() { RECT r{}; GetWindowRect(apptest::VisibleMenuWindow(), &r); return r; }
// A tap on the icon, at alternate points (no double click); the open menu's rectangle.
RECT OpenMenu()
{
    static int shift = 0;
    ClickAt(GetSystemMetrics(SM_CXSCREEN) - 8 - (shift ^= 6), GetSystemMetrics(SM_CYSCREEN) - 10);
    return WaitFor(5000, [] { return apptest::VisibleMenuWindow() != nullptr; }), MenuRect();
}
// An item's rectangle on the screen, asked of a list of another process through memory of that process.
RECT ItemRect(HWND list, int item)
{
    DWORD id = 0, rect[4] = {LVIR_BOUNDS};
    GetWindowThreadProcessId(list, &id);
    const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    void* remote = VirtualAllocEx(process, nullptr, sizeof(rect), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(process, remote, rect, sizeof(rect), nullptr);
    SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, rect, sizeof(rect), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE), CloseHandle(process);
    RECT r{LONG(rect[0]), LONG(rect[1]), LONG(rect[2]), LONG(rect[3])};
    return MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2), r;
}

}  // namespace

// "My Documents" dragged below the document, the document renamed from the context menu by typing: the registry
// holds the new order and the "Caption", and the menu opened again is wider for the longer name.
TEST(EndToEnd, DragAndRenameWithTheMouse)
{
    storetest::ClearStore();
    storetest::PutEntries(storetest::RootPath(), {L"1 1 1 1 0 \\My Documents", L"4 3 1 4 1", L"5 1 0 5 2 C:\\x.txt",
                                                  L"2 1 1 2 3 Configuration", L"3 1 1 3 4 Exit"});
    SHELLEXECUTEINFOW run{sizeof(run), SEE_MASK_NOCLOSEPROCESS, nullptr, nullptr, L"Z:" TABULA_EXE};
    ASSERT_TRUE(ShellExecuteExW(&run));
    const struct Ending { HANDLE process; ~Ending() { TerminateProcess(process, 1), CloseHandle(process); } } ending{run.hProcess};
    ASSERT_TRUE(WaitFor(20000, [] { return apptest::ShellHasIcon(Main(), TRAY_ICON_ID); }));
    const RECT before = OpenMenu();
    ClickAt((before.left + before.right) / 2, before.bottom - 35);   // "Configuration"
    HWND settings = nullptr, list = nullptr;
    ASSERT_TRUE(WaitFor(10000, [&] { return (settings = apptest::FindWindowWith(L"#32770", L"Dialog")) != nullptr; }));
    EnumChildWindows(settings, [](HWND child, LPARAM found) {
        return GetDlgCtrlID(child) == IDC_SECTIONS_LIST ? *reinterpret_cast<HWND*>(found) = child, FALSE : TRUE; },
        reinterpret_cast<LPARAM>(&list));
    const RECT first = ItemRect(list, 0), third = ItemRect(list, 2);
    ClickAt(first.left + 20, (first.top + first.bottom) / 2, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_MOVE);
    for (int y = first.bottom; y < third.bottom - 3; y += 4)
        ClickAt(first.left + 20, y, MOUSEEVENTF_MOVE, MOUSEEVENTF_MOVE);
    ClickAt(first.left + 20, third.bottom - 3, MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitFor(5000, [] { return storetest::StoredText() == L"-4 D5:C:\\x.txt D1:\\My Documents D2:Configuration D3:Exit"; }))
        << storetest::StoredText();
    const RECT document = ItemRect(list, 1);
    ClickAt(document.left + 20, (document.top + document.bottom) / 2, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitFor(5000, [] { return apptest::VisibleMenuWindow() != nullptr; }));
    const RECT context = MenuRect();
    ClickAt(context.left + 20, context.top + (context.bottom - context.top) * 3 / 10);   // "Rename", the second of five
    Sleep(500);
    for (const wchar_t* key = L"RENAMEDTOSOMETHINGLONGER"; *key; ++key)
        apptest::PressKeys({WORD(*key)});
    apptest::PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitFor(5000, [] { return storetest::Read(storetest::RootPath() + L"\\5", L"Caption").Text() == std::wstring(L"renamedtosomethinglonger", 25); }));
    const RECT after = OpenMenu();
    EXPECT_GT(after.right - after.left, before.right - before.left);
    EXPECT_EQ(storetest::StoredText(), L"-4 D5:C:\\x.txt D1:\\My Documents D2:Configuration D3:Exit");
}
