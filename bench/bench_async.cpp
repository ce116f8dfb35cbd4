// What the menu costs when the disk is slow (made slow through platform/Media's seam) and when a level is wide:
//  - a tap to the root menu on the screen, with 33 documents whose icon lookups take 2 s each;
//  - a live folder whose listing takes 5 s: its menu on the screen, showing "(reading...)";
//  - the next tap's menu while a launch takes 5 s;
//  - process start to the icon in the notification area: tabula.exe with a stored tree of 999 entries, beside a
//    minimal program that only adds an icon;
//  - private bytes after start and after 200 openings of the menu;
//  - one level of 10,000 entries: its load, its first menu, its settings window and Exit, each beside the floor (the
//    same keys and values read with the plain registry calls).
// A menu counts as shown when its menu loop first waits for input. Run under Wine in a throwaway prefix: it replaces
// the prefix's stored tree, and ends with the program's own Exit (its question answered No).
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include "BenchWindow.h"
#include "Stopwatch.h"
#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "config/SettingsContext.h"
#include "config/SettingsWindow.h"
#include "menu/FolderMenu.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
#include "platform/Handles.h"
#include "platform/Media.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "res/resource.h"
#include "store/RegHelper.h"

namespace {

using platform::media::Call;
namespace slow = platform::media::slow;

constexpr int kRuns = 5;   // the best of these is printed where a figure can be taken again

Stopwatch g_clock;
LONGLONG g_idleAt = 0;

// The program's main window procedure, and the first moment the menu loop waits for input: the menu is on the screen.
LRESULT CALLBACK BenchWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        if (!g_idleAt)
            g_idleAt = g_clock.Now();
        EndMenu();
        return 0;
    }
    return MainWndProc(hWnd, message, wParam, lParam);
}

// Milliseconds from the start of action until a menu it tracks is on the screen.
double UntilMenuShown(const std::function<void()>& action)
{
    const LONGLONG start = g_clock.Now();
    g_idleAt = 0;
    action();
    return g_idleAt ? g_clock.Ms(g_idleAt - start) : -1.0;
}

// A tap on the icon, as the shell reports it to the main window.
double Tap(HWND window)
{
    return UntilMenuShown([&] { SendMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN); });
}

double Best(const std::function<double()>& run)
{
    double best = run();
    for (int i = 1; i < kRuns; ++i)
        best = std::min(best, run());
    return best;
}

std::wstring TempFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    const std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void MakeFile(const std::wstring& path)
{
    handles::unique_hfile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

void ClearMenu()
{
    while (!g_TodayMenu.Root.Items.empty())
        g_TodayMenu.RemoveEntry(g_TodayMenu.Root.Items.back()->ID);
}

// The tree of bench_store: the built-in entries, 5 documents and 30 sections of 32 documents (999 entries).
void BuildTree(CTodayMenu& menu)
{
    const std::wstring folder = TempFolder(L"tabula-bench-async");
    menu.AppendDocumentWithID(L"\\My Documents", ID_MY_DOCUMENTS, 0);
    menu.AppendSeparatorWithID(ID_FIRST_SEPARATOR, 0);
    for (int d = 0; d < 5; ++d)
        MakeFile(folder + L"\\top " + std::to_wstring(d) + L".txt"),
            menu.AppendDocument(folder + L"\\top " + std::to_wstring(d) + L".txt", 0);
    for (int s = 0; s < 30; ++s) {
        const int section = menu.AppendSection(L"Section " + std::to_wstring(s), 0);
        for (int d = 0; d < 32; ++d) {
            const std::wstring path = folder + L"\\s" + std::to_wstring(s) + L"-d" + std::to_wstring(d) + L".txt";
            MakeFile(path);
            menu.AppendDocument(path, section);
        }
    }
    menu.AppendDocumentWithID(L"Configuration", ID_CONFIGURATION, 0);
    menu.AppendDocumentWithID(L"Exit", ID_EXIT, 0);
}

// Milliseconds from the start of a program to its icon in the notification area, and to its first answer.
double UntilIcon(const std::wstring& program, const wchar_t* windowClass, UINT iconId, double* answers)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    const LONGLONG start = g_clock.Now();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1.0;
    HWND window = nullptr;
    double icon = -1.0;
    for (const DWORD until = GetTickCount() + 20000; icon < 0 && GetTickCount() < until; Sleep(1)) {
        window = window ? window : FindWindowW(windowClass, nullptr);
        NOTIFYICONDATAW probe{};
        probe.cbSize = sizeof(probe);
        probe.hWnd = window;
        probe.uID = iconId;
        if (window && Shell_NotifyIconW(NIM_MODIFY, &probe))
            icon = g_clock.MsSince(start);
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &ignored);
    *answers = g_clock.MsSince(start);
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return icon;
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    // Wine fills in the commit charge, which Windows gives as the private bytes too.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// One level of 10,000 entries written straight into the store: documents (a tenth with a caption of their own), a
// separator every ten, a section every hundred.
void WriteWideLevel()
{
    platform::reg::DeleteTree(platform::reg::StoreHive(), L"SOFTWARE\\Tabula");
    HKEY root = nullptr;
    RegCreateKeyExW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                    &root, nullptr);
    for (DWORD i = 0; i < 10000; ++i) {
        HKEY key = nullptr;
        RegCreateKeyExW(root, std::to_wstring(100 + i).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
        const DWORD type = i % 100 == 50 ? ITEM_SECTION : i % 10 == 9 ? ITEM_SEPARATOR : ITEM_DOCUMENT;
        const std::wstring name = type == ITEM_SECTION ? L"Section " + std::to_wstring(i)
                                                       : L"C:\\wide\\document " + std::to_wstring(i) + L".txt";
        RegSetValueExW(key, L"Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&type), 4);
        if (type != ITEM_SEPARATOR)
            RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1) * 2);
        RegSetValueExW(key, L"Pos", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4);
        if (type == ITEM_DOCUMENT && i % 10 == 3)
            RegSetValueExW(key, L"Caption", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Own"), 8);
        RegCloseKey(key);
    }
    RegCloseKey(root);
}

// The floor: every entry key of the level enumerated, opened and its values read, nothing built.
double PlainRead()
{
    const LONGLONG start = g_clock.Now();
    HKEY root = nullptr;
    RegOpenKeyExW(platform::reg::StoreHive(), L"SOFTWARE\\Tabula", 0, KEY_READ, &root);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(root, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        for (const wchar_t* value : {L"Type", L"Name", L"Pos", L"Caption"}) {
            BYTE data[512];
            DWORD size = sizeof(data), type = 0;
            RegQueryValueExW(key, value, nullptr, &type, data, &size);
        }
        RegCloseKey(key);
    }
    RegCloseKey(root);
    return g_clock.MsSince(start);
}

}  // namespace

int wmain()
{
    const HWND window = StartBench(BenchWndProc, "ms");

    // 33 documents never looked at before, each look at one taking 2 s: a tap, and a tap again while the looks go on;
    // the best of a few rounds, each over documents new to it.
    const std::wstring slowFolder = TempFolder(L"tabula-bench-slow");
    slow::Delay(Call::Attributes, 2000);
    double slowTap = 0, slowTapAgain = 0, firstTap = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (int i = 0; i < 33; ++i)
            g_TodayMenu.AppendDocument(slowFolder + L"\\document " + std::to_wstring(GetTickCount()) + L"-" +
                                           std::to_wstring(i) + (i % 3 ? L".txt" : L".exe"), 0);
        const double tap = Tap(window), again = Tap(window);
        firstTap = run ? firstTap : tap;
        slowTap = run ? std::min(slowTap, tap) : tap;
        slowTapAgain = run ? std::min(slowTapAgain, again) : again;
        ClearMenu();
    }
    std::printf("%-72s %10.1f %10s\n", "tap to root menu, 33 documents whose icon lookups take 2 s", slowTap, "< 50");
    std::printf("%-72s %10.1f\n", "  the first such tap of the process", firstTap);
    std::printf("%-72s %10.1f\n", "  the next tap, the lookups still going on", slowTapAgain);
    slow::Reset();

    // A live folder whose listing takes 5 s.
    const int live = g_TodayMenu.AppendDocument(slowFolder, 0);
    g_TodayMenu.ShowFolderContents(live, true);
    const HMENU liveMenu = g_TodayMenu.LiveFolder(live)->Menu();
    slow::Delay(Call::Listing, 5000);
    const double reading = UntilMenuShown([&] {
        SetForegroundWindow(window);
        TrackPopupMenuEx(liveMenu, TPM_LEFTALIGN, 0, 0, window, nullptr);
    });
    wchar_t shown[32] = {};
    GetMenuStringW(liveMenu, 0, shown, 32, MF_BYPOSITION);
    std::printf("%-72s %10.1f %10s\n", ("live folder whose listing takes 5 s, shown as " + std::string(shown, shown + wcslen(shown))).c_str(),
                reading, "< 250");
    slow::Reset();
    ClearMenu();

    // A choice whose launch takes 5 s (a file that is not there: the shell then fails without a word).
    const int chosen = g_TodayMenu.AppendDocument(slowFolder + L"\\not there.txt", 0);
    slow::Delay(Call::Launch, 5000);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    std::printf("%-72s %10.1f %10s\n", "the next tap's menu while a launch takes 5 s", Tap(window), "< 100");
    slow::Reset();
    ClearMenu();

    // Process start to the icon: tabula.exe over a stored tree of 999 entries, and a program that only adds an icon.
    {
        CTodayMenu tree;
        BuildTree(tree);
        CRegHelper().SaveTree(&tree);
    }
    double tabulaAnswers = 0, minimalAnswers = 0;
    const double tabula = Best([&] { return UntilIcon(L"Z:" TABULA_EXE, L"TABULA", TRAY_ICON_ID, &tabulaAnswers); });
    const double minimal = Best([&] { return UntilIcon(L"Z:" MINIMAL_TRAY_EXE, L"TabulaMinimalTray", 1, &minimalAnswers); });
    std::printf("%-72s %10.1f\n", "process start to icon, tabula.exe with a tree of 999 entries", tabula);
    std::printf("%-72s %10.1f\n", "process start to icon, a minimal program that only adds one", minimal);
    std::printf("%-72s %10.2f %10s\n", "  ratio", tabula / minimal, "<= 1.5");
    std::printf("%-72s %10.1f\n", "  (to their first answer, tabula.exe's tree loaded: the last run of each)", tabulaAnswers);
    std::printf("%-72s %10.1f\n", "", minimalAnswers);

    // Private bytes after start (the tree loaded) and after 200 openings of the menu.
    g_RegHelper.LoadTree(&g_TodayMenu);
    const SIZE_T started = PrivateBytes();
    Tap(window);
    const SIZE_T once = PrivateBytes();
    for (int i = 1; i < 200; ++i)
        Tap(window);
    const SIZE_T after = PrivateBytes();
    std::printf("private bytes (KB): after start %zu, after the first opening %zu, after 200 openings %zu\n",
                started / 1024, once / 1024, after / 1024);
    ClearMenu();

    // One level of 10,000 entries.
    WriteWideLevel();
    // The floor taken beside each load, as the machine's other work varies: the best of each.
    double floor = 0, firstMenu = 0, load = 0;
    for (int run = 0; run < kRuns; ++run) {
        const double plain = PlainRead();
        g_TodayMenu.Root.Clear();
        const LONGLONG start = g_clock.Now();
        g_RegHelper.LoadTree(&g_TodayMenu);
        const double loaded = g_clock.MsSince(start), menu = Tap(window);
        floor = run ? std::min(floor, plain) : plain;
        load = run ? std::min(load, loaded) : loaded;
        firstMenu = run ? std::min(firstMenu, menu) : menu;
    }
    // What Wine's menus alone cost for a level that wide: each item added copies every item before it.
    const double wineMenu = Best([] {
        const LONGLONG start = g_clock.Now();
        const handles::unique_hmenu menu(CreatePopupMenu());
        for (int i = 0; i < 10000; ++i)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        return g_clock.MsSince(start);
    });
    const SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr, nullptr, &g_StoreWriter};
    const double settingsShown = Best([&] {
        const LONGLONG start = g_clock.Now();
        const HWND dialog = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS),
                                                       nullptr, SettingsDlgProc, reinterpret_cast<LPARAM>(&settings));
        ShowWindow(dialog, SW_SHOW);
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        const double time = g_clock.MsSince(start);
        DestroyWindow(dialog);
        return time;
    });
    platform::SetMessageAnswer([](HWND, const std::wstring&, const std::wstring&, UINT) { return IDNO; });
    // Exit alone: the looks at the documents' icons that the openings started end first.
    const auto lastDocument = std::find_if(g_TodayMenu.Root.Items.rbegin() + 2, g_TodayMenu.Root.Items.rend(),
                                           [](const auto& item) { return item->Type == ITEM_DOCUMENT; });
    const std::wstring last = (*lastDocument)->Path;
    for (const DWORD until = GetTickCount() + 30000; GetTickCount() < until && !g_Services.Icons().Known(last); Sleep(10))
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
    const LONGLONG exitStart = g_clock.Now();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
    const double exit = g_clock.MsSince(exitStart);
    std::printf("one level of 10,000 entries; floor, its keys and values read plainly %.1f ms\n", floor);
    std::printf("  (a menu of 10,000 separators made with nothing else: %.1f ms)\n", wineMenu);
    const std::pair<const char*, double> wide[] = {
        {"  load", load}, {"  first menu shown", firstMenu}, {"  settings window shown", settingsShown}, {"  Exit", exit}};
    for (const auto& [what, ms] : wide)
        std::printf("%-72s %10.1f %10s   %.2f x floor\n", what, ms, "<= 3x", ms / floor);

    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
