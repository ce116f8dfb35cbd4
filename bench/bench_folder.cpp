// Opens live folder menus of 100, 1,000 and 10,000 files through the main window's WM_INITMENUPOPUP and prints where
// the time goes: reading the folder, sorting it, and the menu's items with their pictures; then the object counts
// around 100 openings and closings of the 10,000-file folder. A closed live menu keeps what it shows until the next
// tracking of the menu starts, so each closing here is followed by the root menu's opening.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "Stopwatch.h"
#include "app/Globals.h"
#include "app/ItemImage.h"
#include "app/MainWindow.h"
#include "menu/FolderMenu.h"
#include "menu/FolderReader.h"
#include "menu/TodayMenu.h"

namespace {

constexpr int kRuns = 5;   // timed openings per folder, after one that warms the shell's icon cache

// A folder of `files` files of a few types and ten sub-folders, made once.
std::wstring MakeFolder(int files)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"tabula-bench-folder-" + std::to_wstring(files);
    CreateDirectoryW(folder.c_str(), nullptr);
    static const wchar_t* const kTypes[] = {L".txt", L".ini", L".log", L".bmp"};
    for (int i = 0; i < 10; ++i)
        CreateDirectoryW((folder + L"\\folder " + std::to_wstring(i)).c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        const std::wstring path = folder + L"\\document " + std::to_wstring(i) + kTypes[i % 4];
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    return folder;
}

// The live menu closes, and the next tracking opens the root menu.
void Close(HWND window, HMENU menu)
{
    SendMessageW(window, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_TodayMenu.GetRootMenu()), 0);
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&msg);
}

// The pictures and sub-menus that the folder's menu holds now, added to those seen before; how many of all those seen
// are still alive.
size_t Alive(const CFolderMenu& folder, std::set<HGDIOBJ>* bitmaps, std::set<HMENU>* menus, bool count = true)
{
    for (const CFolderMenu::Entry& entry : folder.Entries()) {
        if (entry.item && entry.item->Image)
            bitmaps->insert(entry.item->Image.get());
        if (entry.contents)
            menus->insert(entry.contents->Menu());
    }
    size_t alive = 0;
    if (!count)
        return 0;
    for (HGDIOBJ bitmap : *bitmaps)
        alive += GetObjectType(bitmap) != 0;
    for (HMENU menu : *menus)
        alive += IsMenu(menu) != FALSE;
    return alive;
}

size_t Made(const CFolderMenu& folder)
{
    size_t made = 0;
    for (CItem* item : folder.Items())
        made += item->Image != nullptr;
    return made;
}

LONGLONG g_idleAt = 0;

// The main window's procedure, and the first moment the menu loop waits for input: the menu is on the screen.
LRESULT CALLBACK BenchWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        g_idleAt = now.QuadPart;
        EndMenu();
        return 0;
    }
    return MainWndProc(hWnd, message, wParam, lParam);
}

}  // namespace

int wmain()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const HWND window = MakeBenchWindow(BenchWndProc);
    Stopwatch clock;

    std::printf("Live folder menu, opened through WM_INITMENUPOPUP (ms, mean of %d openings)\n", kRuns);
    std::printf("%8s %8s %12s %8s %8s %10s %12s %8s %10s %12s\n", "files", "items", "enumeration", "sort", "items",
                "INITMENU", "to screen", "drawn", "all pics", "sort of all");
    CFolderMenu* big = nullptr;
    for (int files : {100, 1000, 10000}) {
        const std::wstring path = MakeFolder(files);
        const int id = g_TodayMenu.AppendDocument(path, 0);
        g_TodayMenu.ShowFolderContents(id, true);
        CFolderMenu* folder = g_TodayMenu.LiveFolder(id);
        big = folder;
        const HMENU menu = folder->Menu();
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        Close(window, menu);
        double enumeration = 0, sort = 0, items = 0, total = 0, sortAll = 0, pictures = 0, shown = 0, made = 0;
        for (int run = 0; run < kRuns; ++run) {
            LONGLONG start = clock.Now();
            SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
            total += clock.MsSince(start);
            Close(window, menu);

            // The same steps one by one.
            start = clock.Now();
            FolderListing listing = ReadFolder(path);
            enumeration += clock.MsSince(start);
            FolderListing all = listing;
            start = clock.Now();
            SortListing(listing, CFolderMenu::kMaxEntries);
            sort += clock.MsSince(start);
            start = clock.Now();
            SortListing(all, all.folders.size() + all.files.size());
            sortAll += clock.MsSince(start);
            start = clock.Now();
            folder->Show(listing);
            MeasureImages(folder->Items());
            items += clock.MsSince(start);
            start = clock.Now();
            for (CItem* item : folder->Items())
                BuildImage(item);
            pictures += clock.MsSince(start);
            Close(window, menu);

            // Shown for real: tracked at the top left until the menu loop first waits for input.
            SetForegroundWindow(window);
            const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
            start = clock.Now();
            g_idleAt = start;
            TrackPopupMenuEx(menu, TPM_LEFTALIGN, 0, 0, window, nullptr);
            KillTimer(nullptr, guard);
            shown += g_idleAt - start;
            made += static_cast<double>(Made(*folder));
            Close(window, menu);
        }
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        const int count = GetMenuItemCount(menu);
        Close(window, menu);
        std::printf("%8d %8d %12.1f %8.1f %8.1f %10.1f %12.1f %8.0f %10.1f %12.1f\n", files, count, enumeration / kRuns,
                    sort / kRuns, items / kRuns, total / kRuns, clock.Ms(static_cast<LONGLONG>(shown / kRuns)),
                    made / kRuns, pictures / kRuns, sortAll / kRuns);
    }
    std::printf("items: menu items (\"Open Folder\", 10 sub-folders, the first files, \"More...\"); the items column: "
                "made and sized.\n"
                "INITMENU: the main window's WM_INITMENUPOPUP (enumeration + sort + items).\n"
                "to screen: TrackPopupMenuEx of the folder's menu until the menu loop first waits for input (shown and "
                "drawn); drawn: pictures made then.\n"
                "all pics: every entry's picture made at once, for comparison; sort of all: likewise every entry "
                "sorted.\n\n");

    // 100 openings and closings of the 10,000-file folder.
    const HANDLE self = GetCurrentProcess();
    std::set<HGDIOBJ> bitmaps;
    std::set<HMENU> menus;
    const HMENU menu = big->Menu();
    SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    const size_t aliveOnce = Alive(*big, &bitmaps, &menus);
    Close(window, menu);
    const DWORD gdiBefore = GetGuiResources(self, GR_GDIOBJECTS), userBefore = GetGuiResources(self, GR_USEROBJECTS);
    size_t aliveOpen = 0;
    for (int i = 0; i < 100; ++i) {
        SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
        const size_t alive = Alive(*big, &bitmaps, &menus, i == 99);
        aliveOpen = i == 99 ? alive : aliveOpen;
        Close(window, menu);
    }
    const DWORD gdiAfter = GetGuiResources(self, GR_GDIOBJECTS), userAfter = GetGuiResources(self, GR_USEROBJECTS);
    const size_t aliveClosed = Alive(*big, &bitmaps, &menus);
    std::printf("100 openings of the 10,000-file folder\n");
    std::printf("  GetGuiResources GDI  %lu -> %lu\n", gdiBefore, gdiAfter);
    std::printf("  GetGuiResources USER %lu -> %lu   (0 and 0: not counted by this system)\n", userBefore, userAfter);
    std::printf("  pictures and sub-menus alive: while open once %zu, while open the 100th time %zu, after it closed "
                "and the root opened %zu (of %zu handles made)\n", aliveOnce, aliveOpen, aliveClosed, bitmaps.size() + menus.size());
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
