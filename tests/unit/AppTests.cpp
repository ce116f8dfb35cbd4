// The application shell in process: the main window's routing, the icon, the startup shortcut, the About box.
#include <gtest/gtest.h>

#include <fstream>

#include "AppTesting.h"
#include "app/AboutBox.h"
#include "platform/DialogLayout.h"
#include "app/Globals.h"
#include "app/ItemImage.h"
#include "app/MainWindow.h"
#include "app/Shortcut.h"
#include "app/TryIcon.h"
#include "menu/TodayMenu.h"
#include "platform/Startup.h"
#include "res/resource.h"

// What an action led to: the menu tracked, each dialog (caption, [x], icon size; IDCANCEL ignored, then close), quits.
static std::wstring Observe(const std::function<LRESULT()>& action, UINT close = WM_CLOSE, WPARAM how = 0)
{
    std::wstring seen;
    apptest::Watch watch([&] {
        RECT at{};
        ICONINFO icon{};
        BITMAP bitmap{};
        wchar_t caption[64] = {};
        HWND menu = apptest::VisibleMenuWindow(), box = apptest::FindWindowWith(L"#32770", L"", GetCurrentThreadId());
        const LRESULT shown = menu ? SendMessageW(menu, MN_GETHMENU, 0, 0) : 0;
        if (menu && GetWindowRect(menu, &at) && EndMenu())
            seen += (shown == reinterpret_cast<LRESULT>(g_TodayMenu.GetRootMenu()) ? L"root " : L"other ") +
                    std::to_wstring(at.right) + L"," + std::to_wstring(at.bottom) + L" ";
        if (!box || !GetWindowTextW(box, caption, 64))
            return false;
        if (GetIconInfo(reinterpret_cast<HICON>(SendDlgItemMessageW(box, 201, STM_GETIMAGE, IMAGE_ICON, 0)), &icon))
            GetObjectW(icon.hbmColor, sizeof(bitmap), &bitmap), DeleteObject(icon.hbmColor), DeleteObject(icon.hbmMask);
        seen += caption + std::wstring(GetWindowLongPtrW(box, GWL_STYLE) & WS_SYSMENU ? L" [x] " : L" ") +
                std::to_wstring(bitmap.bmWidth) + L"x" + std::to_wstring(bitmap.bmHeight) + L" ";
        SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return !PostMessageW(box, close, how, 0);
    }, 5000);
    const LRESULT result = action();
    for (MSG quit; PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);)
        seen += L"quit" + std::to_wstring(quit.wParam) + L" ";
    return seen + L"returns " + std::to_wstring(result);
}

// The icon is the shell's from Add to Remove; only a touch tracks the root menu above the task bar; menu and key commands go apart.
TEST(MainWindow, RoutesTapsAndCommands)
{
    RegisterMainWindowClass(g_hInstance, L"TabulaTest");
    HWND window = CreateWindowExW(0, L"TabulaTest", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    CTryIcon tray;
    tray.SetWindow(window), tray.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_EQ(0, tray.Add());
    RECT bar{};
    ASSERT_TRUE(GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &bar));
    std::ofstream("go.now.cmd") << "del %0\n";   // a document that deletes itself when launched
    ASSERT_NE(GetFileAttributesW(L"go.now.cmd"), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(ID_ABOUT, g_TodayMenu.AppendDocumentWithID(L"go.now.cmd", ID_ABOUT, 0));
    BYTE record[128] = {};   // owner-drawing records of controls stay untouched
    const struct { UINT message; WPARAM wParam; LPARAM lParam; std::wstring seen; } rows[] = {
        {WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN, L"root " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"," +
                                               std::to_wstring(bar.top) + L" returns 1"},   // above the task bar
        {WM_TRAYNOTIFY, TRAY_ICON_ID, WM_LBUTTONUP, L"returns 0"}, {WM_TRAYNOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN, L"returns 0"},
        // The icon's keyboard version: the event in the low word, the icon's id in the high word.
        {WM_TRAYNOTIFY, 0, MAKELPARAM(NIN_KEYSELECT, TRAY_ICON_ID), L"root " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"," +
                                                                     std::to_wstring(bar.top) + L" returns 1"},
        {WM_TRAYNOTIFY, 0, MAKELPARAM(WM_RBUTTONUP, TRAY_ICON_ID), L"returns 0"},
        {WM_MEASUREITEM, 5, reinterpret_cast<LPARAM>(record), L"returns 0"}, {WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(record), L"returns 0"},
        {WM_COMMAND, MAKEWPARAM(ID_QUIT_KEY, 1), 0, L"returns 0"}, {WM_COMMAND, MAKEWPARAM(ID_ABOUT, 0), 0, L"returns 0"},
        {WM_COMMAND, MAKEWPARAM(ID_ABOUT, 1), 0, L"About Tabula [x] 32x32 returns 0"}, {WM_COMMAND, MAKEWPARAM(2, 1), 0, L"quit0 returns 1"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.seen, Observe([&] { return SendMessageW(window, row.message, row.wParam, row.lParam); })) << &row - rows;
    EXPECT_EQ(std::string(sizeof(record), '\0'), std::string(std::begin(record), std::end(record)));
    BuildImages(g_TodayMenu.Root), SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);   // pictures made again in new colours
    EXPECT_FALSE(g_TodayMenu.Root.FindItem(ID_ABOUT)->Image);
    EXPECT_TRUE(apptest::WaitFor(10000, [] { return GetFileAttributesW(L"go.now.cmd") == INVALID_FILE_ATTRIBUTES; }));
    EXPECT_EQ(0, tray.Remove());
    EXPECT_FALSE(apptest::ShellHasIcon(window, TRAY_ICON_ID));
    EXPECT_EQ(L"quit0 returns 0", Observe([&] { return SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, 1), 0); }));
    EXPECT_FALSE(IsWindow(window));
}

// The text form and the name of the startup shortcut; the text replaces an old file, Yes links the program, No deletes it.
TEST(Shortcut, TextNameAndFile)
{
    const struct { std::wstring path; UINT codePage; std::string text; } texts[] = {
        {L"\\Program Files\\Tabula\\Tabula.exe", CP_ACP, "37#\"\\Program Files\\Tabula\\Tabula.exe\""},
        {L"\\" + std::wstring(89, L'a') + L".exe", CP_ACP, "99#\"\\" + std::string(89, 'a') + ".exe\""},
        {L"\\b" + std::wstring(89, L'a') + L".exe", CP_ACP, "100#\"\\b" + std::string(89, 'a') + ".exe\""},
        {L"C:\\Caf\x00E9\\Tabula.exe", 1252, "23#\"C:\\Caf\xE9\\Tabula.exe\""},
        {L"C:\\\x6587\x66F8\\Tabula.exe", 932, "21#\"C:\\\x95\xB6\x8F\x91\\Tabula.exe\""},
    };
    for (const auto& row : texts)
        EXPECT_EQ(row.text, BuildShortcutText(row.path, row.codePage)) << row.path.size();
    const std::pair<const wchar_t*, const wchar_t*> names[] = {{L"\\Program Files\\Tabula.exe", L"S\\Tabula.lnk"},
        {L"Tabula.exe", L"S\\Tabula.lnk"}, {L"\\x\\a.b.exe", L"S\\a.b.lnk"}, {L"\\my.apps\\Tabula", L"S\\Tabula.lnk"}};
    for (const auto& [program, path] : names)
        EXPECT_EQ(path, BuildShortcutPath(program, L"S")) << program;
    std::wstring folder;
    ASSERT_TRUE(GetStartupFolder(folder));
    const std::wstring program = RunningProgramPath(), shortcut = BuildShortcutPath(program, folder);
    std::ofstream(shortcut.c_str(), std::ios::binary) << std::string(500, 'z');
    ASSERT_TRUE(platform::WriteTextShortcut(shortcut, "9#\"C:\\x\""));
    EXPECT_EQ("9#\"C:\\x\"", std::string(std::istreambuf_iterator<char>(std::ifstream(shortcut.c_str()).rdbuf()), {}));
    UpdateStartupShortcut(program, true);
    EXPECT_EQ(0, lstrcmpiW(_wpgmptr, apptest::LinkTarget(shortcut).c_str())) << shortcut;   // the running program
    UpdateStartupShortcut(program, false);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(shortcut.c_str()));
}

// The About box ends with OK or its close button; a layout moves what it can, failing on missing or two unnamed controls.
TEST(AboutBox, EndsAndLaysOutDialogs)
{
    for (const auto& [message, wParam, result] : {std::tuple<UINT, WPARAM, const wchar_t*>{WM_COMMAND, IDOK, L"1"},
                                                 {WM_CLOSE, 0, L"16"}, {WM_SYSCOMMAND, SC_CLOSE, L"16"}})
        EXPECT_EQ(L"About Tabula [x] 32x32 returns " + std::wstring(result), Observe([] {
            return DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_ABOUT_PORTRAIT), g_hMainWnd, AboutDlgProc, 0);
        }, message, wParam));
    EXPECT_EQ(std::make_tuple(IDD_ABOUT_PORTRAIT, IDD_ABOUT_LANDSCAPE, IDD_ABOUT_LANDSCAPE),
              std::make_tuple(AboutTemplateFor(240, 320), AboutTemplateFor(320, 240), AboutTemplateFor(240, 240)));
    const int rows[][6] = {   // live dialog, layout, result, a control, where it ends
        {9102, 9999, false, IDC_ABOUT_NOTE, 10, 60}, {IDD_ABOUT_PORTRAIT, IDD_ABOUT_LANDSCAPE, true, IDC_ABOUT_NAME, 48, 12},
        {9102, IDD_ABOUT_PORTRAIT, false, IDC_ABOUT_NOTE, 12, 48}, {9102, IDD_ABOUT_PORTRAIT, false, 301, 10, 10},
        {9102, 9102, false, IDC_ABOUT_NOTE, 10, 60},
    };
    HWND dialog = nullptr;
    const HICON image = LoadIconW(nullptr, IDI_APPLICATION);
    for (const auto& [live, layout, result, id, x, y] : rows) {
        DestroyWindow(dialog);
        dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(live), nullptr,
                                    [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return TRUE; }, 0);
        for (const UINT message : {LB_ADDSTRING, LB_ADDSTRING, LB_SETCURSEL, CB_ADDSTRING, CB_ADDSTRING, CB_SETCURSEL})
            SendDlgItemMessageW(dialog, message >= LB_ADDSTRING ? 301 : 302, message, 1, reinterpret_cast<LPARAM>(L""));
        SetDlgItemTextW(dialog, IDC_ABOUT_NOTE, L"changed");
        SendDlgItemMessageW(dialog, 304, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
        EXPECT_EQ(result, static_cast<int>(platform::ApplyDialogLayout(g_hInstance, dialog, layout))) << layout;
        RECT expected{x, y, x, y}, actual{};
        MapDialogRect(dialog, &expected);
        GetWindowRect(GetDlgItem(dialog, id), &actual);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 1);
        EXPECT_EQ(std::make_pair(expected.left, expected.top), std::make_pair(actual.left, actual.top)) << layout;
    }
    wchar_t text[32] = {};
    GetDlgItemTextW(dialog, IDC_ABOUT_NOTE, text, 32);
    EXPECT_EQ(L"1 1 Caption", std::to_wstring(SendDlgItemMessageW(dialog, 301, LB_GETCURSEL, 0, 0)) + L" " +
                                  std::to_wstring(SendDlgItemMessageW(dialog, 302, CB_GETCURSEL, 0, 0)) + L" " + text);
    EXPECT_EQ(reinterpret_cast<LRESULT>(image), SendDlgItemMessageW(dialog, 304, STM_GETIMAGE, IMAGE_ICON, 0));
    DestroyWindow(dialog);
}
