// The real tabula.exe in the test prefix's virtual desktop, tapped and clicked with real input.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "AppTesting.h"
#include "StoreTesting.h"
#include "app/TryIcon.h"
#include "res/resource.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using apptest::WaitFor;

enum Row { kMyDocuments = 0, kNote = 1, kConfiguration = -2, kExit = -1, kNone = 9 };   // from the top or the bottom

HWND Main() { return FindWindowW(L"TABULA", L"Tabula"); }
HWND Box(const wchar_t* caption) { return apptest::FindWindowWith(L"#32770", caption); }
bool HasIcon() { return apptest::ShellHasIcon(Main(), TRAY_ICON_ID); }
bool NoMenu() { return !apptest::VisibleMenuWindow(); }
int Width() { return GetSystemMetrics(SM_CXSCREEN); }
RECT Rect(HWND window) { RECT rect{}; GetWindowRect(window, &rect); return rect; }
RECT TaskBar() { return Rect(FindWindowW(L"Shell_TrayWnd", nullptr)); }
void DeleteNote() { RegDeleteTreeW(platform::reg::StoreHive(), (storetest::RootPath() + L"\\5").c_str()); }
std::wstring Folder(int csidl) { wchar_t path[MAX_PATH] = {}; SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, 0, path); return path; }
std::wstring Link() { return Folder(CSIDL_STARTUP) + L"\\tabula.lnk"; }
std::wstring Program() { wchar_t path[MAX_PATH] = {}; GetFullPathNameW(L"Z:" TABULA_EXE, MAX_PATH, path, nullptr); return path; }

// A real tap on the icon, the only one, at the right end of the task bar (at two points in turn: never a double
// click), then a click on a row of its menu once the menu takes clicks; false if no menu opened.
bool Tap(int row = kNone)
{
    static int shift = 0;
    GUITHREADINFO info{sizeof(info)};
    HWND menu = nullptr;
    apptest::ClickAt(Width() - 8 - (shift ^= 6), GetSystemMetrics(SM_CYSCREEN) - 10);
    const bool open = WaitFor(5000, [&] { return (menu = apptest::VisibleMenuWindow()) && GetGUIThreadInfo(GetWindowThreadProcessId(menu, nullptr), &info) && (info.flags & GUI_INMENUMODE); });
    const RECT rect = Rect(menu);
    if (row != kNone)
        apptest::ClickAt((rect.left + rect.right) / 2, row >= 0 ? rect.top + 12 + 20 * row : rect.bottom + 5 + 20 * row);
    return open;
}

// Turns the screen and waits for the task bar to follow.
bool SetScreen(LONG width, LONG height)
{
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode), mode.dmPelsWidth = width, mode.dmPelsHeight = height, mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL &&
           WaitFor(10000, [&] { return TaskBar().right == width && TaskBar().bottom == height; });
}

// Stores the four built-in entries with a text document after "My Documents"; the stored text.
std::wstring StoreTree()
{
    const std::wstring note = Folder(CSIDL_PERSONAL) + L"\\tabula-note.txt";
    CloseHandle(CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    storetest::ClearStore();
    const wchar_t* names[] = {L"\\My Documents", note.c_str(), nullptr, L"Configuration", L"Exit"};
    for (DWORD pos = 0, ids[] = {1, 5, 4, 2, 3}; pos < 5; ++pos)
        storetest::PutEntry(storetest::RootPath(), std::to_wstring(ids[pos]), names[pos] ? 1 : 3, ids[pos] < 5, ids[pos], names[pos], pos);
    return storetest::StoredText();
}

// tabula.exe started on that tree in the test's desktop, with its icon shown. At the end, what still runs is closed
// (or killed), the screen is 240x320 again and no startup shortcut is left.
struct Tabula {
    const std::wstring tree = StoreTree();
    PROCESS_INFORMATION process{};
    STARTUPINFOW startup{sizeof(startup)};
    const bool started = CreateProcessW(Program().c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) && WaitFor(20000, HasIcon);
    ~Tabula()
    {
        if (ExitCode(0) == STILL_ACTIVE && (!PostMessageW(Main(), WM_CLOSE, 0, 0) || ExitCode(5000) == STILL_ACTIVE))
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        EXPECT_TRUE(SetScreen(240, 320));
        DeleteFileW(Link().c_str());
    }
    DWORD ExitCode(DWORD timeoutMs)
    {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(process.hProcess, timeoutMs);
        return GetExitCodeProcess(process.hProcess, &code) ? code : STILL_ACTIVE;
    }
};

// The number of visible dialogs with this caption.
int Count(const wchar_t* caption)
{
    int count = 0;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", caption));)
        count += IsWindowVisible(window);
    return count;
}

// "portrait" when the program's name stands under its icon, "landscape" when right of it, "+full" when the box
// covers the screen down to the task bar; "none" when it is closed.
std::string AboutLayout()
{
    const HWND box = Box(L"About Tabula");
    const RECT icon = Rect(GetDlgItem(box, IDC_ABOUT_ICON)), name = Rect(GetDlgItem(box, IDC_ABOUT_NAME)), all = Rect(box);
    const bool full = all.left == 0 && all.top == 0 && all.right == Width() && all.bottom == TaskBar().top;
    return !box ? "none" : std::string(name.top >= icon.bottom ? "portrait" : name.left >= icon.right ? "landscape" : "other") + (full ? "+full" : "");
}

}  // namespace

// One session: a second start, taps, the menu and the About box on a turning screen, a restarted task bar,
// launching, the settings window chosen twice, the menu used while its Add Section dialog is open, "Exit" and Yes.
TEST(EndToEnd, Session)
{
    Tabula app;
    ASSERT_TRUE(app.started);
    DWORD_PTR result = 1;   // lifting the stylus or moving over the icon is not handled and shows nothing
    for (LPARAM mouse : {WM_LBUTTONUP, WM_MOUSEMOVE})
        EXPECT_TRUE(SendMessageTimeoutW(Main(), WM_TRAYNOTIFY, TRAY_ICON_ID, mouse, SMTO_NORMAL, 9000, &result) && !result && !WaitFor(500, apptest::VisibleMenuWindow));
    EXPECT_EQ(Tabula().ExitCode(20000), 0u);   // the tree is loaded: a second copy that stores it again ends with 0
    EXPECT_EQ(FindWindowExW(nullptr, Main(), L"TABULA", nullptr), nullptr);
    // The menu stands on the task bar at the right edge, four rows and a separator tall, and closes on a click
    // elsewhere; then Ctrl+A opens the About box over the visible desktop: portrait, turned to 320x240 landscape,
    // and opened at 320x240 landscape.
    for (const char* layout : {"portrait+full", "landscape+full"}) {
        ASSERT_TRUE(Tap());
        const RECT menu = Rect(apptest::VisibleMenuWindow());
        EXPECT_TRUE(menu.right == Width() && menu.bottom == TaskBar().top && abs(menu.bottom - menu.top - 96) < 15) << menu.top;
        apptest::ClickAt(60, 60);
        ASSERT_TRUE(WaitFor(5000, NoMenu));
        SetForegroundWindow(Main());
        apptest::PressKeys({VK_CONTROL, 'A'});
        EXPECT_TRUE(WaitFor(10000, [&] { return AboutLayout() == layout; })) << AboutLayout();
        EXPECT_TRUE(Width() > 240 || (SetScreen(320, 240) && WaitFor(10000, [] { return AboutLayout() == "landscape+full"; }))) << AboutLayout();
        EXPECT_TRUE(PostMessageW(Box(L"About Tabula"), WM_CLOSE, 0, 0) && WaitFor(5000, [] { return AboutLayout() == "none"; }));
    }
    ASSERT_TRUE(SetScreen(240, 320));
    // A restarted task bar (icons forgotten, "TaskbarCreated" broadcast) gets the icon back; the menu then opens
    // "My Documents" in the file explorer and the text document in Notepad.
    NOTIFYICONDATAW icon{sizeof(icon), Main(), TRAY_ICON_ID};
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon) && SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitFor(5000, HasIcon));
    for (const auto& [row, caption] : {std::pair{kMyDocuments, L"Documents"}, {kNote, L"tabula-note.txt"}}) {
        HWND opened = nullptr;
        EXPECT_TRUE(Tap(row) && WaitFor(20000, [&, c = caption] { return (opened = apptest::FindWindowWith(L"", c)) != nullptr; })) << caption;
        EXPECT_TRUE(PostMessageW(opened, WM_CLOSE, 0, 0) && WaitFor(5000, [&] { return !IsWindow(opened); }));
    }
    // "Configuration" opens the settings window with no owner; chosen again, it brings that window forward.
    HWND settings = nullptr, plus = nullptr, question = nullptr;
    ASSERT_TRUE(Tap(kConfiguration) && WaitFor(10000, [&] { return (settings = Box(L"Dialog")) != nullptr; }));
    EXPECT_EQ(GetWindow(settings, GW_OWNER), nullptr);
    EXPECT_TRUE(Tap(kConfiguration) && WaitFor(5000, [&] { return GetForegroundWindow() == settings; }));
    EXPECT_EQ(Count(L"Dialog"), 1);
    // While the Add Section dialog holds a typed name, the menu opens and "Configuration" opens nothing more;
    // "Exit" stores the tree (an entry deleted behind the program's back comes back) without the unconfirmed
    // section, removes the icon for good before it asks, and the program ends with 0.
    for (HWND page = nullptr; !plus && (page = FindWindowExW(GetDlgItem(settings, IDC_TABS), page, L"#32770", nullptr));)
        plus = GetDlgItem(page, IDC_ADD_SECTION);
    PostMessageW(plus, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor(5000, [] { return SetDlgItemTextW(Box(L"Add Section"), IDC_SECTION_NAME, L"Unconfirmed"); }));
    ASSERT_TRUE(Tap(kConfiguration) && WaitFor(5000, NoMenu));
    EXPECT_FALSE(WaitFor(1000, [] { return Count(L"Dialog") != 1 || Count(L"Add Section") != 1; }));
    DeleteNote();
    ASSERT_TRUE(Tap(kExit) && WaitFor(10000, [&] { return (question = Box(L"Run on startup setting")) != nullptr; }));
    EXPECT_TRUE(!HasIcon() && storetest::StoredText() == app.tree);
    SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_FALSE(WaitFor(500, HasIcon));
    PostMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(app.ExitCode(15000), 0u);
    EXPECT_EQ(storetest::StoredText(), app.tree);
    EXPECT_EQ(_wcsicmp(apptest::LinkTarget(Link()).c_str(), Program().c_str()), 0) << apptest::LinkTarget(Link());
}

// Ended while its settings window is open, the program exits with 0: by WM_CLOSE without storing the tree (an
// entry deleted behind its back stays deleted) or touching the startup shortcut; by "Exit" and No storing the
// tree and deleting the shortcut.
TEST(EndToEnd, EndedWhileSettingsAreOpen)
{
    for (const bool exit : {false, true}) {
        CloseHandle(CreateFileW(Link().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        Tabula app;
        ASSERT_TRUE(app.started && Tap(kConfiguration) && WaitFor(10000, [] { return Box(L"Dialog") != nullptr; }));
        DeleteNote();
        const std::wstring changed = storetest::StoredText();
        if (!exit)
            PostMessageW(Main(), WM_CLOSE, 0, 0);
        if (exit && Tap(kExit) && WaitFor(10000, [] { return Box(L"Run on startup setting") != nullptr; }))
            PostMessageW(GetDlgItem(Box(L"Run on startup setting"), IDNO), BM_CLICK, 0, 0);
        EXPECT_EQ(app.ExitCode(15000), 0u) << exit;
        EXPECT_EQ(storetest::StoredText(), exit ? app.tree : changed);
        EXPECT_EQ(GetFileAttributesW(Link().c_str()) == INVALID_FILE_ATTRIBUTES, exit);
    }
}
