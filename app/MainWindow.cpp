#include "app/MainWindow.h"

#include <string>

#include "app/AboutBox.h"
#include "app/CommandLine.h"
#include "app/FindBox.h"
#include "app/Globals.h"
#include "app/Hotkey.h"
#include "app/ItemImage.h"
#include "app/MenuHome.h"
#include "app/Shortcut.h"
#include "app/TryIcon.h"
#include "config/SettingsContext.h"
#include "config/SettingsWindow.h"
#include "menu/MenuMessages.h"
#include "menu/MenuServices.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Prompts.h"
#include "platform/Theme.h"
#include "res/resource.h"
#include "store/Options.h"
#include "store/RegHelper.h"
#include "store/StoreWriter.h"

platform::ActivateInfo g_ActivateInfo;

namespace {

// Set once the exit sequence has begun: nothing puts the icon back, claims the hotkey or starts a second exit.
bool g_Exiting = false;

// Claims the one running copy for this process, for its whole life. Taken before anything else, so that two
// starts at the same moment cannot both find no window and both run.
bool ClaimSingleInstance(HINSTANCE instance)
{
    static handles::unique_kernel_object claim;
    claim.reset(CreateMutexW(nullptr, FALSE, InstanceClaimName(instance).c_str()));
    return claim && GetLastError() != ERROR_ALREADY_EXISTS;
}

HWND WaitForRunningCopy(const std::wstring& className, const std::wstring& title)
{
    HWND window = nullptr;
    for (int tries = 0; tries < 50 && !(window = FindWindowW(className.c_str(), title.c_str())); ++tries)
        Sleep(100);
    return window;
}

// The message by which a (re)started shell asks for the notification icons again; 0 if none.
UINT TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void RunExitSequence(HWND hWnd)
{
    // From here on nothing opens the menu again: the hotkey goes first, so that a press during the question cannot
    // start a second exit inside this one.
    g_Exiting = true;
    ReleaseHotkey(hWnd);
    // Every change is stored before the question: what the writer still had is written first, then the tree. A file
    // changed elsewhere from now on is no longer taken.
    g_Follower.Stop();
    g_StoreWriter.Changed([] { return store::SnapshotOf(g_TodayMenu); });
    const bool stored = g_StoreWriter.Flush();
    g_TrayIcon.Remove();
    if (!stored)
        platform::ShowMessage(nullptr,
                              L"The menu could not be stored in " + g_RegHelper.Where() +
                                  L". The changes made since it was last stored are lost when Tabula ends.",
                              L"Tabula", MB_OK | MB_ICONWARNING);
    const std::wstring programPath = RunningProgramPath();
    const int answer = platform::ShowMessage(nullptr, L"Would you like to run the application on next startup?",
                                             L"Run on startup setting", MB_YESNO | MB_ICONQUESTION);
    UpdateStartupShortcut(programPath, answer == IDYES);
    // The window procedure's own handling posts the quit message; the window goes with the process.
    SendMessageW(hWnd, WM_DESTROY, 0, 0);
}

LRESULT OnMenuCommand(HWND hWnd, WORD id)
{
    switch (id) {
    case ID_CONFIGURATION: OpenSettingsWindow(ProgramSettings(hWnd)); break;
    case ID_EXIT:
        if (!g_Exiting)
            RunExitSequence(hWnd);
        break;
    default: g_TodayMenu.Launch(id); break;
    }
    return 0;
}

LRESULT OnAcceleratorCommand(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_ABOUT:
        OpenAboutBox(hWnd);
        return 0;
    case IDOK:
        // Not handled here: the default handling destroys the window, and WM_DESTROY ends the loop.
        SendMessageW(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case IDCANCEL:
        PostQuitMessage(0);
        return 1;
    default:
        return DefWindowProcW(hWnd, WM_COMMAND, wParam, lParam);
    }
}

// Menu commands arrive with code 0, accelerator commands with a non-zero code: the two never mix.
LRESULT OnCommand(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    return HIWORD(wParam) == 0 ? OnMenuCommand(hWnd, LOWORD(wParam)) : OnAcceleratorCommand(hWnd, wParam, lParam);
}

// Only the stylus touching the icon opens the menu, or the icon chosen from the keyboard where the shell offers that.
LRESULT OnTrayNotify(HWND hWnd, LPARAM lParam)
{
    if (!g_TrayIcon.OpensMenu(lParam))
        return 0;
    ShowMenu(hWnd);
    return 1;
}

// The program's hotkey opens the menu where a tap opens it; the find box's opens the box there.
LRESULT OnHotkey(HWND hWnd, WPARAM wParam)
{
    if (g_Exiting)
        return 0;
    if (wParam == kHotkeyId)
        ShowMenu(hWnd);
    else if (wParam == kFindHotkeyId)
        OpenFindBox(L"");
    return 0;
}

// A restarted shell has forgotten the icon: without it the menu and "Exit" are out of reach.
LRESULT OnTaskbarCreated()
{
    if (!g_Exiting)
        g_TrayIcon.Add();
    return 0;
}

// The screen's density may have changed: every picture is made again, at the new one, when next shown.
void OnDensityMayHaveChanged() { DropImages(g_TodayMenu.Root); }

// The pictures are painted in the menu's colours: a new colour scheme has them made again when next shown, and a new
// look (the system's dark choice, a contrast scheme) is taken by the menus at once, the open one too.
LRESULT OnColoursChanged()
{
    g_Theme.Refresh();
    FollowLook();
    return 0;
}

void OnSettingChange(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    OnDensityMayHaveChanged();
    if (platform::IsLookChange(WM_SETTINGCHANGE, lParam) && g_Theme.Refresh())
        FollowLook();
    platform::HandleSettingChange(hWnd, wParam, lParam, &g_ActivateInfo);
}

LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 0)
        return 0;
    MeasureMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    return 1;
}

LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam)
{
    if (wParam != 0)
        return 0;
    DrawMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return 1;
}

// The menu's pictures are the application's: the menu asks for them as it is about to show. The icons that the disk
// gives later come back to this window.
LRESULT OnCreate(HWND hWnd)
{
    g_TodayMenu.SetPictures({PrepareImages, MeasureImages, RefreshImages});
    g_Services.Icons().SetWindow(hWnd);
    // The snapshots of the tree's changes are taken when this window's thread is free, once for changes in a row.
    g_StoreWriter.SetWindow(hWnd);
    // Each launch's counts go to the document's stored key alone, through the writer; the menu shows the recent
    // documents if asked to.
    g_TodayMenu.SetLaunchRecorder(
        [](const CItem& document) { g_StoreWriter.RecordLaunch(store::LaunchRecordOf(document)); });
    g_TodayMenu.SetShowRecent(store::LoadShowRecent());
    return 0;
}

LRESULT OnPaint(HWND hWnd)
{
    PAINTSTRUCT paint;
    BeginPaint(hWnd, &paint);
    EndPaint(hWnd, &paint);
    return 0;
}

LRESULT OnDestroy(HWND hWnd)
{
    ReleaseHotkey(hWnd);
    PostQuitMessage(0);
    return 0;
}

}  // namespace

std::wstring LoadResourceString(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring InstanceClaimName(HINSTANCE instance)
{
    return LoadResourceString(instance, IDS_WINDOW_CLASS) + L".Instance";
}

UINT StoreFlushMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Tabula.FlushStore");
    return message;
}

SettingsContext ProgramSettings(HWND mainWindow)
{
    SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, &g_Theme, nullptr, &g_StoreWriter};
    settings.changeHotkey = [mainWindow](store::Hotkey hotkey) { return g_Exiting || ClaimHotkey(mainWindow, hotkey); };
    settings.changeTheme = [](platform::ThemeChoice choice) { ChooseTheme(choice); };
    settings.changeFindHotkey = [mainWindow](store::Hotkey hotkey) {
        return g_Exiting || ClaimHotkey(mainWindow, hotkey, kFindHotkeyId);
    };
    if (!IsPortable())
        settings.moveHome = [mainWindow](const std::wstring& path, std::wstring* error) {
            return MoveMenuHome(mainWindow, path, error);
        };
    return settings;
}

ATOM RegisterMainWindowClass(HINSTANCE hInstance, const wchar_t* className)
{
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = hInstance;
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass);
}

bool InitMainWindow(HINSTANCE hInstance, int)
{
    g_hInstance = hInstance;
    platform::InitShellLibrary();
    const std::wstring title = LoadResourceString(hInstance, IDS_APP_TITLE);
    const std::wstring className = LoadResourceString(hInstance, IDS_WINDOW_CLASS);

    // A running copy holds the claim, or at least the window: an older build holds no claim.
    const bool claimed = ClaimSingleInstance(hInstance);
    HWND running = FindWindowW(className.c_str(), title.c_str());
    if (!claimed || running) {
        // The copy that holds the claim may still be making its window.
        g_hMainWnd = running ? running : WaitForRunningCopy(className, title);
        if (g_hMainWnd)
            platform::BringToFront(g_hMainWnd);
        return false;
    }
    if (!RegisterMainWindowClass(hInstance, className.c_str()))
        return false;
    // Never shown: style 0, no size.
    g_hMainWnd = CreateWindowExW(0, className.c_str(), title.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr, hInstance,
                                 nullptr);
    return g_hMainWnd != nullptr;
}

void ShowMenu(HWND hWnd)
{
    const int x = GetSystemMetrics(SM_CXSCREEN);
    const RECT visible = platform::VisibleDesktop();
    const int y = visible.bottom - visible.top;
    FollowMenuDensity({x - 1, y - 1});
    platform::TrackPopupMenuAt(menumsg::PrepareRoot(g_TodayMenu), TPM_LEFTALIGN | TPM_BOTTOMALIGN, x, y, hWnd);
    // A letter that no entry started with closed the menu: the find box takes it, now that the menu is gone, whatever
    // order the menu's last messages came in.
    if (const std::optional<wchar_t> letter = g_TodayMenu.TakeFindRequest(); letter && !g_Exiting)
        OpenFindBox(std::wstring(1, *letter));
}

int RunMessageLoop(HACCEL accelerators)
{
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

void ChooseTheme(platform::ThemeChoice choice)
{
    g_Theme.Choose(choice);
    FollowLook();
}

void ClaimStoredHotkey()
{
    // Both keys are claimed; the icon names those that another program holds, in one note.
    std::wstring taken;
    const std::pair<store::Hotkey, int> hotkeys[] = {{store::LoadHotkey(), kHotkeyId}, {store::LoadFindHotkey(), kFindHotkeyId}};
    for (const auto& [hotkey, id] : hotkeys)
        if (!ClaimHotkey(g_hMainWnd, hotkey, id))
            taken += (taken.empty() ? L"" : L" and ") + hotkey.Text();
    if (!taken.empty()) {
        const std::wstring text = taken + (taken.find(L" and ") == std::wstring::npos ? L" is" : L" are") +
                                  L" in use by another program. Choose another key on the Options tab of Configuration.";
        g_TrayIcon.ShowBalloon(L"Tabula", text.c_str());
    }
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYNOTIFY)
        return OnTrayNotify(hWnd, lParam);
    if (message != 0 && message == TaskbarCreatedMessage())
        return OnTaskbarCreated();
    if (menumsg::IsWorkDone(message))
        return menumsg::OnWorkDone(lParam);
    if (message != 0 && message == StoreFlushMessage())
        return g_StoreWriter.Flush();
    switch (message) {
    case WM_CREATE: return OnCreate(hWnd);
    case WM_DESTROY: return OnDestroy(hWnd);
    case WM_ACTIVATE: platform::HandleActivate(hWnd, wParam, lParam, &g_ActivateInfo, 0); return 0;
    case WM_PAINT: return OnPaint(hWnd);
    case WM_SETTINGCHANGE: OnSettingChange(hWnd, wParam, lParam); return 0;
    case WM_SYSCOLORCHANGE: return OnColoursChanged();
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE: OnDensityMayHaveChanged(); return DefWindowProcW(hWnd, message, wParam, lParam);
    case WM_INITMENUPOPUP: return menumsg::OnInitMenuPopup(g_TodayMenu, wParam);
    case WM_UNINITMENUPOPUP: return menumsg::OnUninitMenuPopup(g_TodayMenu, wParam);
    case WM_MENUCOMMAND: return menumsg::OnMenuCommand(g_TodayMenu, hWnd, wParam, lParam);
    case WM_MENUCHAR: return menumsg::OnMenuChar(g_TodayMenu, hWnd, wParam, lParam);
    case WM_DRAWITEM: return OnDrawItem(wParam, lParam);
    case WM_MEASUREITEM: return OnMeasureItem(wParam, lParam);
    case WM_COMMAND: return OnCommand(hWnd, wParam, lParam);
    case WM_HOTKEY: return OnHotkey(hWnd, wParam);
    case WM_COPYDATA: return OnImportHandedOver(hWnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
