// The settings window's edits over a large menu: 999 entries (9 sections of 110 documents) and one level of 10,000.
// Prints, each beside its bound, the GUI thread's time for one edit (add, move, rename, delete; median and maximum of
// 20 of each), and the time until the store holds it (the writer's write, median).
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Stopwatch.h"
#include "app/Globals.h"
#include "config/ItemList.h"
#include "config/SettingsContext.h"
#include "config/SettingsState.h"
#include "config/SettingsWindow.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/DialogLayout.h"
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
    std::vector<double> gui, stored;
    for (int round = 0; round < kRounds; ++round) {
        const LONGLONG start = clock.Now();
        edit(round);
        gui.push_back(clock.MsSince(start));
        g_StoreWriter.Flush();
        stored.push_back(clock.MsSince(start));
        Pump();
    }
    const double worst = *std::max_element(gui.begin(), gui.end());
    std::printf("%-22s %-7s GUI thread: median %6.2f ms, max %6.2f ms (bound %.0f ms)%s; stored after %8.1f ms\n", tree,
                name, Median(gui), worst, kEditBoundMs, worst <= kEditBoundMs ? "" : "  OVER", Median(stored));
}

void Bench(const char* tree, const std::function<void()>& build, const SettingsContext& settings)
{
    while (!g_TodayMenu.Root.Items.empty())
        g_TodayMenu.RemoveEntry(g_TodayMenu.Root.Items.back()->ID);
    build();
    g_StoreWriter.Write(store::SnapshotOf(g_TodayMenu));
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

}  // namespace

int wmain()
{
    g_hInstance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    g_hMainWnd = CreateWindowExW(0, L"STATIC", L"bench", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    const SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr, nullptr, &g_StoreWriter};
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
