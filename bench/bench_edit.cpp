// The settings window's edits over a large menu: 999 entries (9 sections of 110 documents) and one level of 10,000.
// Prints, each beside its bound, the GUI thread's time for one edit (add, move, rename, delete; median and maximum of
// 20 of each, pressed in a row), and the time until the store holds the last of them. The snapshot that the writer writes
// is taken on the GUI thread once for any number of edits in a row, when the thread is free: its time is printed apart.
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "Stopwatch.h"
#include "app/Globals.h"
#include "config/ItemList.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/SettingsWindow.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
#include "platform/Worker.h"
#include "res/resource.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"

namespace {

constexpr double kEditBoundMs = 16;
constexpr int kRounds = 20;
const Stopwatch clock;

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

// Lets the windows draw what an edit changed, as the message loop would between two presses.
void Pump()
{
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
        DispatchMessageW(&msg);
}

void Measure(const char* tree, const char* name, const std::function<void(int round)>& edit)
{
    std::vector<double> gui;
    LONGLONG last = 0;
    for (int round = 0; round < kRounds; ++round) {
        last = clock.Now();
        edit(round);
        gui.push_back(clock.MsSince(last));
        Pump();
    }
    // The edits pressed in a row are written as they come, the newest waiting snapshot winning: the store holds the
    // last one once the writer is through.
    g_StoreWriter.Flush();
    const double stored = clock.MsSince(last);
    const double worst = *std::max_element(gui.begin(), gui.end());
    std::printf("%-22s %-7s GUI thread: median %6.2f ms, max %6.2f ms (bound %.0f ms)%s; the last stored after %8.1f ms\n",
                tree, name, Median(gui), worst, kEditBoundMs, worst <= kEditBoundMs ? "" : "  OVER", stored);
}

void Bench(const char* tree, const std::function<void()>& build, const SettingsContext& settings)
{
    while (!g_TodayMenu.Root.Items.empty())
        g_TodayMenu.RemoveEntry(g_TodayMenu.Root.Items.back()->ID);
    build();
    g_StoreWriter.Write(store::SnapshotOf(g_TodayMenu));
    const LONGLONG snapshot = clock.Now();
    const size_t entries = store::SnapshotOf(g_TodayMenu).size();
    std::printf("%-22s snapshot of its %zu entries, once per write: %6.2f ms\n", tree, entries, clock.MsSince(snapshot));
    const HWND window = CreateDialogIndirectParamW(g_hInstance, platform::FindDialogTemplate(g_hInstance, IDD_SETTINGS),
                                                   nullptr, SettingsDlgProc, reinterpret_cast<LPARAM>(&settings));
    CSettingsState& state = CSettingsState::Of(window);
    const HWND list = state.List(kSectionsTab);
    const int middle = ListView_GetItemCount(list) / 2;
    Pump();
    Measure(tree, "add", [&](int) { CTreeEditor(state).AddSeparator(); });
    Measure(tree, "move", [&](int round) { CTreeEditor(state).Move(kSectionsTab, middle + round, middle + round + 1); });
    Measure(tree, "rename", [&](int round) { CTreeEditor(state).Rename(kSectionsTab, middle, L"Name " + std::to_wstring(round)); });
    Measure(tree, "delete", [&](int) {
        SelectListItem(list, ListView_GetItemCount(list) - 1, 0xFF);
        CTreeEditor(state).DeleteSelected(kSectionsTab, L"");
    });
    DestroyWindow(window);
}

LRESULT CALLBACK RunsPostedWork(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == platform::WorkDoneMessage()) {
        platform::RunPostedWork(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int wmain()
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    g_hInstance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A window that runs posted work, as the main window does: the snapshots posted to it are taken as it is pumped.
    g_StoreWriter.SetWindow(MakeBenchWindow(RunsPostedWork));
    const SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr, nullptr, &g_StoreWriter, nullptr};
    Bench("999 entries", [] {
        for (int s = 0; s < 9; ++s) {
            const int section = g_TodayMenu.AppendSection(L"Section " + std::to_wstring(s), 0);
            for (int d = 0; d < 110; ++d)
                g_TodayMenu.AppendDocument(L"C:\\bench\\document " + std::to_wstring(s * 110 + d) + L".txt", section);
        }
    }, settings);
    Bench("a level of 10,000", [] {
        for (int d = 0; d < 10000; ++d)
            g_TodayMenu.AppendDocument(L"C:\\bench\\document " + std::to_wstring(d) + L".txt", 0);
    }, settings);
    DestroyWindow(g_hMainWnd);
    CoUninitialize();
    return 0;
}
