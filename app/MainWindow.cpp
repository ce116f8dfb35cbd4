#include "app/MainWindow.h"

#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/Hotkey.h"
#include "app/ItemImage.h"
#include "app/Shortcut.h"
#include "app/TryIcon.h"
#include "config/SettingsContext.h"
#include "config/SettingsWindow.h"
#include "menu/FolderMenu.h"
#include "menu/TodayMenu.h"
#include "platform/Handles.h"
#include "platform/Prompts.h"
#include "res/resource.h"
#include "store/Options.h"
#include "store/RegHelper.h"

platform::ActivateInfo g_ActivateInfo;

namespace {

// Set once the exit sequence has taken the icon away, so that nothing puts it back.
bool g_Exiting = false;

std::wstring LoadResourceString(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// Claims the one running copy for this process, for its whole life. Taken before anything else, so that two
// starts at the same moment cannot both find no window and both run.
bool ClaimSingleInstance(const std::wstring& className)
{
    static handles::unique_handle<HANDLE, CloseHandle> claim;
    claim.reset(CreateMutexW(nullptr, FALSE, (className + L".Instance").c_str()));
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
    g_RegHelper.SaveTree(&g_TodayMenu);
    g_Exiting = true;
    g_TrayIcon.Remove();
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
    case ID_CONFIGURATION: {
        SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr};
        settings.changeHotkey = [hWnd](WORD hotkey) { return ClaimHotkey(hWnd, hotkey); };
        OpenSettingsWindow(settings);
        break;
    }
    case ID_EXIT: RunExitSequence(hWnd); break;
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

// Only the stylus touching the icon opens the menu.
LRESULT OnTrayNotify(HWND hWnd, LPARAM lParam)
{
    if (lParam != WM_LBUTTONDOWN)
        return 0;
    ShowMenu(hWnd);
    return 1;
}

// The program's hotkey opens the menu where a tap opens it.
LRESULT OnHotkey(HWND hWnd, WPARAM wParam)
{
    if (wParam != kHotkeyId)
        return 0;
    ShowMenu(hWnd);
    return 0;
}

// A restarted shell has forgotten the icon: without it the menu and "Exit" are out of reach.
LRESULT OnTaskbarCreated()
{
    if (!g_Exiting)
        g_TrayIcon.Add();
    return 0;
}

// A live folder's menu about to show reads its folder again; its entries are sized now and get their pictures when
// they are first drawn, so that a long folder costs only the pictures of the entries on the screen.
void OpenFolderMenu(HMENU menu)
{
    CFolderMenu* folder = FindFolderMenu(g_TodayMenu.Root, menu);
    if (!folder)
        return;
    folder->Open();
    std::vector<CItem*> items;
    for (const CFolderMenu::Entry& entry : folder->Entries())
        if (entry.item)
            items.push_back(entry.item.get());
    MeasureImages(items);
}

// A menu about to show gets the pictures of its documents: they are made as they are first needed.
LRESULT OnInitMenuPopup(WPARAM wParam)
{
    if (const CItemVector* list = g_TodayMenu.Root.FindList(reinterpret_cast<HMENU>(wParam)))
        BuildImages(*list);
    else
        OpenFolderMenu(reinterpret_cast<HMENU>(wParam));
    return 0;
}

// Posted to the main window when a live folder's menu has closed: what it showed is freed then, after the choice
// made in it (posted before it closed) has been handled.
UINT FolderMenuClosedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Tabula.FolderMenuClosed");
    return message;
}

LRESULT OnUninitMenuPopup(HWND hWnd, WPARAM wParam)
{
    if (CFolderMenu* folder = FindFolderMenu(g_TodayMenu.Root, reinterpret_cast<HMENU>(wParam))) {
        folder->Close();
        PostMessageW(hWnd, FolderMenuClosedMessage(), 0, static_cast<LPARAM>(wParam));
    }
    return 0;
}

LRESULT OnFolderMenuClosed(LPARAM lParam)
{
    if (CFolderMenu* folder = FindFolderMenu(g_TodayMenu.Root, reinterpret_cast<HMENU>(lParam)))
        folder->Release();
    return 0;
}

// A choice told by menu and position: an entry of a live folder (they carry no ids), or, where the notifying style
// reaches the whole menu from its root, an entry of the tree, which goes the way of its WM_COMMAND.
LRESULT OnMenuCommandByPosition(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    const HMENU menu = reinterpret_cast<HMENU>(lParam);
    if (const CFolderMenu* folder = FindFolderMenu(g_TodayMenu.Root, menu))
        folder->Choose(static_cast<int>(wParam));
    else if (const UINT id = GetMenuItemID(menu, static_cast<int>(wParam)); id != 0 && id != UINT(-1))
        return OnCommand(hWnd, MAKEWPARAM(id, 0), 0);
    return 0;
}

wchar_t Upper(wchar_t c)
{
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

// The captions of a tree menu or of a live folder's menu, by position; empty where typing cannot select.
std::vector<std::wstring> TypableCaptions(HMENU menu)
{
    std::vector<std::wstring> captions;
    if (const CItemVector* list = g_TodayMenu.Root.FindList(menu))
        for (const auto& item : list->Items)
            captions.push_back(item->Type == ITEM_SEPARATOR ? std::wstring() : item->Caption);
    else if (const CFolderMenu* folder = FindFolderMenu(g_TodayMenu.Root, menu))
        for (const CFolderMenu::Entry& entry : folder->Entries())
            captions.push_back(entry.item ? entry.item->Caption : std::wstring());
    return captions;
}

// A letter typed while a menu is open selects the next entry whose caption starts with it: owner-drawn items have
// no mnemonics of their own. Enter then opens it. Wine's menus ignore MNC_SELECT but take the highlight as the
// selection; Windows selects by the answer and draws the same highlight.
LRESULT OnMenuChar(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    const HMENU menu = reinterpret_cast<HMENU>(lParam);
    const std::vector<std::wstring> captions = TypableCaptions(menu);
    const int count = static_cast<int>(captions.size());
    int current = -1;
    for (int i = 0; i < count && current < 0; ++i)
        current = GetMenuState(menu, i, MF_BYPOSITION) & MF_HILITE ? i : -1;
    const wchar_t typed = Upper(LOWORD(wParam));
    for (int step = 1; step <= count; ++step) {
        const int i = (current + step + count) % count;
        if (!captions[i].empty() && Upper(captions[i][0]) == typed) {
            HiliteMenuItem(hWnd, menu, i, MF_BYPOSITION | MF_HILITE);
            return MAKELRESULT(i, MNC_SELECT);
        }
    }
    return MNC_IGNORE;
}

// The screen's density may have changed: every picture is made again, at the new one, when next shown.
void OnDensityMayHaveChanged() { DropImages(g_TodayMenu.Root); }

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

    if (!ClaimSingleInstance(className)) {
        // The copy that holds the claim may still be making its window.
        g_hMainWnd = WaitForRunningCopy(className, title);
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
    // Live folders tell their choices by position. Desktop Windows reads that style from the root menu only; Wine
    // also from each sub-menu. Given to the root, it brings the tree's choices by position too, on both.
    MENUINFO style{};
    style.cbSize = sizeof(style), style.fMask = MIM_STYLE;
    GetMenuInfo(g_TodayMenu.GetRootMenu(), &style);
    style.dwStyle |= MNS_NOTIFYBYPOS;
    SetMenuInfo(g_TodayMenu.GetRootMenu(), &style);
    platform::TrackPopupMenuAt(g_TodayMenu.GetRootMenu(), TPM_LEFTALIGN | TPM_BOTTOMALIGN, x, y, hWnd);
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

void ClaimStoredHotkey()
{
    const WORD hotkey = store::LoadHotkey();
    if (!ClaimHotkey(g_hMainWnd, hotkey)) {
        const std::wstring text = store::HotkeyText(hotkey) + L" is in use by another program. Choose another key on the Options "
                                                       L"tab of Configuration.";
        g_TrayIcon.ShowBalloon(L"Tabula", text.c_str());
    }
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TRAYNOTIFY)
        return OnTrayNotify(hWnd, lParam);
    if (message != 0 && message == TaskbarCreatedMessage())
        return OnTaskbarCreated();
    if (message != 0 && message == FolderMenuClosedMessage())
        return OnFolderMenuClosed(lParam);
    switch (message) {
    case WM_DESTROY: return OnDestroy(hWnd);
    case WM_ACTIVATE: platform::HandleActivate(hWnd, wParam, lParam, &g_ActivateInfo, 0); return 0;
    case WM_PAINT: return OnPaint(hWnd);
    case WM_SETTINGCHANGE:
        OnDensityMayHaveChanged();
        platform::HandleSettingChange(hWnd, wParam, lParam, &g_ActivateInfo);
        return 0;
    case WM_DPICHANGED:
    case WM_DISPLAYCHANGE: OnDensityMayHaveChanged(); return DefWindowProcW(hWnd, message, wParam, lParam);
    case WM_INITMENUPOPUP: return OnInitMenuPopup(wParam);
    case WM_UNINITMENUPOPUP: return OnUninitMenuPopup(hWnd, wParam);
    case WM_MENUCOMMAND: return OnMenuCommandByPosition(hWnd, wParam, lParam);
    case WM_MENUCHAR: return OnMenuChar(hWnd, wParam, lParam);
    case WM_DRAWITEM: return OnDrawItem(wParam, lParam);
    case WM_MEASUREITEM: return OnMeasureItem(wParam, lParam);
    case WM_COMMAND: return OnCommand(hWnd, wParam, lParam);
    case WM_HOTKEY: return OnHotkey(hWnd, wParam);
    case WM_COPYDATA: return OnImportHandedOver(hWnd, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    default: return DefWindowProcW(hWnd, message, wParam, lParam);
    }
}
