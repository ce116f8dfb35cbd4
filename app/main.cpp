#include <windows.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/MenuHome.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Shell.h"
#include "platform/ShellUi.h"
#include "res/resource.h"
#include "store/Options.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"
#include "platform/Worker.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nCmdShow)
{
    // A verb runs and ends here, before the claim of the one running copy.
    if (const std::optional<int> verb = RunCommandLine(hInstance, GetCommandLineW()))
        return *verb;
    if (!InitMainWindow(hInstance, nCmdShow))
        return 0;
    HACCEL accelerators = LoadAcceleratorsW(hInstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    // The notification area shows small icons: loaded at that size, the 16x16 image is not scaled twice.
    HICON trayIcon = platform::LoadIconAtSize(g_hInstance, IDI_TRAY, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON));
    g_TrayIcon.SetWindow(g_hMainWnd);
    g_TrayIcon.SetIcon(trayIcon);
    g_TrayIcon.Add();
    // The writer tells of a backup that failed from its own thread: the icon hears of it on this one.
    g_StoreWriter.Backups().SetReport([](const std::wstring& text) {
        platform::PostToWindow(g_hMainWnd, [text] { g_TrayIcon.ShowBalloon(L"Tabula", text.c_str()); });
    });
    ClaimStoredHotkey();

    CoInitializeEx(nullptr, platform::ProgramComModel());
    g_Services.Icons().Prepare();
    g_RegHelper.LoadTree(&g_TodayMenu);
    g_Follower.Start(g_hMainWnd);
    ChooseTheme(store::LoadTheme());
    const int exitCode = RunMessageLoop(accelerators);
    CoUninitialize();
    return exitCode;
}
