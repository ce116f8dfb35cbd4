// The find box over a large menu: a tree of 10,000 documents in 500 sections, then the same with 10,000 files of a live
// folder from its last read. Prints, each beside its bound, the time from the hotkey to the drawn box, each keystroke
// of a fixed script of 200 to the drawn list (median and maximum), and the memory that the open box adds (the most of
// its openings).
#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Stopwatch.h"
#include "app/FindBox.h"
#include "app/Globals.h"
#include "app/Hotkey.h"
#include "app/MainWindow.h"
#include "menu/FolderMenu.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"

namespace {

constexpr double kOpenBoundMs = 50, kKeystrokeBoundMs = 16;
constexpr SIZE_T kMemoryBoundKb = 16 * 1024;

const wchar_t* const kWords[] = {L"report", L"budget", L"plan",    L"notes",    L"invoice", L"summary", L"draft",
                                 L"letter", L"minutes", L"schedule", L"review", L"contract", L"quarterly", L"annual",
                                 L"project", L"meeting", L"travel", L"expenses", L"proposal", L"photo"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// A caption of two words and a number, the same for the same n.
std::wstring Caption(int n)
{
    return std::wstring(kWords[n % kWordCount]) + L" " + kWords[(n / kWordCount + n) % kWordCount] + L" " +
           std::to_wstring(n);
}

// 10,000 documents in 500 sections of 20.
void BuildTree()
{
    for (int s = 0; s < 500; ++s) {
        const int section = g_TodayMenu.AppendSection(L"Section " + std::to_wstring(s), 0);
        for (int d = 0; d < 20; ++d)
            g_TodayMenu.AppendDocument(L"C:\\bench\\" + Caption(s * 20 + d) + L".txt", section);
    }
}

// A live folder whose last read found 10,000 files.
void AddLiveFiles()
{
    const int id = g_TodayMenu.AppendDocument(L"C:\\bench\\live", 0);
    g_TodayMenu.ShowFolderContents(id, true);
    FolderListing listing;
    listing.readable = true;
    listing.folder = L"C:\\bench\\live";
    for (int n = 0; n < 10000; ++n)
        listing.files.push_back(Caption(n + 10000) + L".doc");
    g_TodayMenu.LiveFolder(id)->Remember(std::move(listing));
}

// The keystrokes of the script: queries typed letter by letter, each taken back before the next, 200 in all.
std::vector<wchar_t> Script()
{
    const wchar_t* const queries[] = {L"report", L"bud pl", L"q3", L"notes 12", L"zzz", L"annual review", L"inv",
                                      L"section 4", L"photo 9", L"meeting minutes", L"pr", L"travel exp", L"draft"};
    std::vector<wchar_t> keys;
    for (size_t i = 0; keys.size() < 200; ++i) {
        const std::wstring query = queries[i % (sizeof(queries) / sizeof(queries[0]))];
        for (const wchar_t c : query)
            keys.push_back(c);
        keys.insert(keys.end(), query.size(), L'\b');
    }
    keys.resize(200);
    return keys;
}

SIZE_T PrivateKb()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    // Wine fills in the commit charge, which Windows gives as the private bytes too.
    return (counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage) / 1024;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Each figure is the best of its rounds, so that it tells what the program costs rather than what else the machine ran
// meanwhile: the best of five openings, and each keystroke of the script the best of its five rounds.
void Measure(const char* what, HWND window)
{
    Stopwatch clock;
    constexpr int kRounds = 5;
    const std::vector<wchar_t> script = Script();
    std::vector<double> openings, keystrokes(script.size(), 1e9);
    SIZE_T added = 0;
    for (int round = 0; round < kRounds; ++round) {
        DestroyWindow(FindBoxWindow());
        const SIZE_T before = PrivateKb();
        // Hotkey to the box drawn: the main window's handling of the key opens and draws it.
        const LONGLONG start = clock.Now();
        SendMessageW(window, WM_HOTKEY, kFindHotkeyId, 0);
        GdiFlush();
        openings.push_back(clock.MsSince(start));
        const HWND box = FindBoxWindow(), edit = GetDlgItem(box, 1), list = GetDlgItem(box, 2);
        for (size_t i = 0; i < script.size(); ++i) {
            const LONGLONG typed = clock.Now();
            SendMessageW(edit, WM_CHAR, script[i], 0);
            UpdateWindow(list);
            GdiFlush();
            keystrokes[i] = std::min(keystrokes[i], clock.MsSince(typed));
        }
        const SIZE_T open = PrivateKb();
        added = std::max(added, open > before ? open - before : 0);
    }
    DestroyWindow(FindBoxWindow());
    std::printf("%s\n", what);
    std::printf("  hotkey to the box drawn     %7.1f ms best of %d   bound < %.0f ms\n",
                *std::min_element(openings.begin(), openings.end()), kRounds, kOpenBoundMs);
    std::printf("  keystroke to the list drawn %7.2f ms median, %.2f ms max of %zu   bound < %.0f ms\n",
                Median(keystrokes), *std::max_element(keystrokes.begin(), keystrokes.end()), keystrokes.size(),
                kKeystrokeBoundMs);
    std::printf("  memory the open box adds    %7zu KB   bound < %zu KB\n", added, kMemoryBoundKb);
}

}  // namespace

int wmain()
{
    g_hInstance = GetModuleHandleW(nullptr);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RegisterMainWindowClass(g_hInstance, L"TabulaBenchFind");
    const HWND window = CreateWindowExW(0, L"TabulaBenchFind", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    g_hMainWnd = window;
    g_Services.Icons().Prepare();
    BuildTree();
    Measure("10,000 documents in 500 sections", window);
    AddLiveFiles();
    Measure("the same and 10,000 files of a live folder from its last read", window);
    g_TodayMenu.Root.Clear();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}
