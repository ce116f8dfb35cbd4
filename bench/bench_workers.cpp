// What the menu's workers and its icon cache hold when the disk misbehaves, each figure beside its bound:
//  - the process's GDI and USER objects after 20,000 distinct icons have been shown through live folders: 40 folders
//    of 500 icon files, each opened and shown a screenful (20 entries) at a time, every picture made with its file's own
//    icon once the workers have found it;
//  - with 8 folder reads that never return (a medium given up on, made so through platform/Media's seam), the time
//    until a healthy live folder's menu is on the screen, right after the hung reads began and once the pool has
//    abandoned them.
// Run under Wine in a throwaway prefix; it writes 20,000 small files to its temporary folder (kept for later runs).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "BenchWindow.h"
#include "Stopwatch.h"
#include "app/Globals.h"
#include "app/ItemImage.h"
#include "app/MainWindow.h"
#include "menu/FolderMenu.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Media.h"
#include "tests/unit/AppTesting.h"

namespace {

constexpr int kFolders = 40;
constexpr int kFilesEach = 500;
constexpr int kScreenful = 20;

Stopwatch g_clock;
LONGLONG g_idleAt = 0;

// The main window's procedure, and the first moment the menu loop waits for input: the menu is on the screen.
LRESULT CALLBACK BenchWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        g_idleAt = g_idleAt ? g_idleAt : g_clock.Now();
        EndMenu();
        return 0;
    }
    return MainWndProc(hWnd, message, wParam, lParam);
}

void Pump()
{
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&msg);
}

std::wstring TempFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    const std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH + 1, temp)) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

// Opens a live menu as the main window does, again until its read has ended.
void Open(HWND window, CFolderMenu& folder)
{
    const DWORD until = GetTickCount() + 30000;
    do {
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(folder.Menu()), 0);
        Pump();
    } while (folder.ReadPending() && GetTickCount() < until);
}

// The folder's entries shown a screenful at a time: each picture made as the menu draws it, and made again once the
// workers have found its file's icon, as the menu on the screen does.
void ShowEntries(CFolderMenu& folder)
{
    const std::vector<CItem*> items = folder.Items();
    for (size_t first = 1; first < items.size(); first += kScreenful) {
        const size_t end = std::min(items.size(), first + kScreenful);
        for (size_t i = first; i < end; ++i)
            BuildImage(items[i]);
        for (const DWORD until = GetTickCount() + 30000; GetTickCount() < until; Sleep(1)) {
            Pump();
            bool answered = true;
            for (size_t i = first; i < end; ++i)
                answered = answered && g_Services.Icons().Known(items[i]->Path);
            if (answered)
                break;
        }
        for (size_t i = first; i < end; ++i)
            if (!items[i]->ImageFinal)
                BuildImage(items[i]);
    }
}

// The menu closes, and the next tracking opens the root menu, which lets go of what the live menus showed.
void Close(HWND window, HMENU menu)
{
    SendMessageW(window, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_TodayMenu.GetRootMenu()), 0);
    Pump();
}

// Milliseconds from the tracking of a menu until it is on the screen.
double UntilShown(HWND window, HMENU menu)
{
    SetForegroundWindow(window);
    const LONGLONG start = g_clock.Now();
    g_idleAt = 0;
    TrackPopupMenuEx(menu, TPM_LEFTALIGN, 0, 0, window, nullptr);
    return g_idleAt ? g_clock.Ms(g_idleAt - start) : -1.0;
}

// What the live menu shows: its entries, or its note while its read goes on.
std::string Showing(const CFolderMenu& folder)
{
    return folder.ReadPending() ? "(reading...)" : std::to_string(folder.Entries().size()) + " entries";
}

}  // namespace

int wmain()
{
    const HWND window = StartBench(BenchWndProc, "figure");

    // 20,000 distinct icons shown through live folders.
    TempFolder(L"tabula-bench-icons");
    const DWORD before = apptest::GuiObjects();
    DWORD most = before;
    const LONGLONG showing = g_clock.Now();
    for (int f = 0; f < kFolders; ++f) {
        const std::wstring folder = TempFolder(L"tabula-bench-icons\\folder " + std::to_wstring(f));
        for (int i = 0; i < kFilesEach; ++i)
            apptest::MakeIconFile(folder + L"\\icon " + std::to_wstring(i) + L".ico");
        const int id = g_TodayMenu.AppendDocument(folder, 0);
        g_TodayMenu.ShowFolderContents(id, true);
        CFolderMenu& live = *g_TodayMenu.LiveFolder(id);
        Open(window, live);
        ShowEntries(live);
        most = std::max(most, apptest::GuiObjects());
        Close(window, live.Menu());
    }
    const DWORD after = apptest::GuiObjects();
    std::printf("%-72s %10lu\n", "GDI and USER objects at start", before);
    std::printf("%-72s %10lu %10s\n", "  after 20,000 distinct icons shown through 40 live folders", after, "<= 2000");
    std::printf("%-72s %10lu %10s\n", "  the most while a folder of 500 was open, every picture made", most, "<= 2000");
    std::printf("%-72s %10.1f\n", "  (seconds it took)", g_clock.MsSince(showing) / 1000);

    // A healthy live folder of ten files beside 8 reads that never return, on a medium of their own.
    const std::wstring ten = TempFolder(L"tabula-bench-healthy");
    for (int i = 0; i < 10; ++i)
        apptest::MakeIconFile(ten + L"\\icon " + std::to_wstring(i) + L".ico");
    const int healthy = g_TodayMenu.AppendDocument(ten, 0);
    g_TodayMenu.ShowFolderContents(healthy, true);
    const HMENU healthyMenu = g_TodayMenu.LiveFolder(healthy)->Menu();
    Open(window, *g_TodayMenu.LiveFolder(healthy));   // its icons known, as a folder opened before
    ShowEntries(*g_TodayMenu.LiveFolder(healthy));
    Close(window, healthyMenu);
    platform::media::slow::Hang(platform::media::Call::Listing, UINT_MAX, L"Q:");
    for (int i = 0; i < 8; ++i) {
        const int hung = g_TodayMenu.AppendDocument(L"Q:\\offline " + std::to_wstring(i), 0);
        g_TodayMenu.ShowFolderContents(hung, true);
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_TodayMenu.LiveFolder(hung)->Menu()), 0);
    }
    const double beside = UntilShown(window, healthyMenu);
    const std::string besideShown = Showing(*g_TodayMenu.LiveFolder(healthy));
    Close(window, healthyMenu);
    const platform::CWorkerPool& readers = g_Services.Readers().Workers();
    for (const DWORD until = GetTickCount() + 60000; readers.Abandoned() < 8 && GetTickCount() < until; Sleep(10)) {
        // A hung folder opened again shares its read, and starts the next one that waits as the pool abandons them.
        for (const auto& item : g_TodayMenu.Root.Items)
            if (item->Path.compare(0, 3, L"Q:\\") == 0)
                SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_TodayMenu.LiveFolder(item->ID)->Menu()), 0);
        Pump();
    }
    const int abandoned = readers.Abandoned();
    const double afterAbandoned = UntilShown(window, healthyMenu);
    const std::string afterShown = Showing(*g_TodayMenu.LiveFolder(healthy));
    Close(window, healthyMenu);
    std::printf("%-72s %10.1f %10s\n", ("healthy live folder beside 8 hung reads just begun, shown as " + besideShown).c_str(),
                beside, "< 150");
    std::printf("%-72s %10.1f %10s\n",
                ("  once " + std::to_string(abandoned) + " hung reads were abandoned, shown as " + afterShown).c_str(),
                afterAbandoned, "< 150");
    platform::media::slow::Reset();

    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
