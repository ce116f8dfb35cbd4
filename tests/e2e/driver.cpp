// Drives and inspects a running tabula.exe from outside, as the end-to-end scripts need: finds its
// windows, sends what the shell would send, reads shortcuts and the screen's state. Each command
// prints its findings and ends with 0 on success, 1 on failure.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kTrayNotify = 243579;
constexpr UINT kTrayIconId = 1111;

HWND MainWindow() { return FindWindowW(L"TABULA", L"Tabula"); }

// Polls test until it holds or timeoutMs passes.
template <typename Test>
bool WaitFor(DWORD timeoutMs, Test test)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (test())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
}

struct TopWindow {
    HWND window;
    std::wstring className;
    std::wstring title;
};

std::vector<TopWindow> VisibleTopWindows()
{
    std::vector<TopWindow> windows;
    EnumWindows([](HWND window, LPARAM data) -> BOOL {
        if (!IsWindowVisible(window))
            return TRUE;
        wchar_t name[128] = {}, title[256] = {};
        GetClassNameW(window, name, 128);
        // Read through the window manager only: a hung window must not hang the driver.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG, 500, &ignored);
        reinterpret_cast<std::vector<TopWindow>*>(data)->push_back({window, name, title});
        return TRUE;
    }, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindVisible(const std::wstring& className, const std::wstring& titlePart)
{
    for (const TopWindow& top : VisibleTopWindows()) {
        if ((className == L"-" || top.className == className) && top.title.find(titlePart) != std::wstring::npos)
            return top.window;
    }
    return nullptr;
}

void PrintRect(const RECT& rect) { std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom); }

bool HasIcon(HWND window)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = window;
    probe.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

RECT ControlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// "portrait" when the two lines stand below the icon, "landscape" when right of it.
std::string AboutLayout(HWND box)
{
    const RECT icon = ControlRect(box, 201), name = ControlRect(box, 202), note = ControlRect(box, 203);
    if (name.top >= icon.bottom && name.left == icon.left && note.top > name.top && note.left == name.left)
        return "portrait";
    if (name.left >= icon.right && name.top == icon.top && note.top > name.top && note.left == name.left)
        return "landscape";
    return "other";
}

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring LinkTarget(const std::wstring& linkPath)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

int Usage()
{
    std::fputs("commands: wait-main MS | count-main | has-icon | drop-icon | taskbar-created | notify LPARAM |\n"
               "  wait-menu MS | no-menu MS | wait-window CLASS TITLE MS | close-window CLASS TITLE |\n"
               "  click-button TITLE ID | about-layout | close-main | set-screen W H | ctrl-a |\n"
               "  startup-link NAME | link-target PATH | screen | taskbar\n", stderr);
    return 2;
}

int Run(int argc, wchar_t** argv)
{
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    auto arg = [&](int i) { return i < argc ? std::wstring(argv[i]) : std::wstring(); };
    auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 0) : 0L; };

    if (command == L"wait-main")
        return WaitFor(number(2), [] { return MainWindow() != nullptr; }) ? 0 : 1;
    if (command == L"count-main") {
        int count = 0;
        for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"TABULA", nullptr)) != nullptr;)
            ++count;
        std::printf("%d\n", count);
        return 0;
    }
    if (command == L"has-icon")
        return HasIcon(MainWindow()) ? 0 : 1;
    if (command == L"drop-icon") {
        // What a restarting shell does: it forgets every icon.
        NOTIFYICONDATAW record{};
        record.cbSize = sizeof(record);
        record.hWnd = MainWindow();
        record.uID = kTrayIconId;
        return Shell_NotifyIconW(NIM_DELETE, &record) ? 0 : 1;
    }
    if (command == L"taskbar-created")
        return SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0) ? 0 : 1;
    if (command == L"notify") {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(MainWindow(), kTrayNotify, kTrayIconId, number(2), SMTO_NORMAL, 1000, &result))
            return 1;
        std::printf("%llu\n", static_cast<unsigned long long>(result));
        return 0;
    }
    if (command == L"wait-menu" || command == L"no-menu") {
        HWND menu = nullptr;
        const bool shown = WaitFor(number(2), [&] {
            menu = FindWindowW(L"#32768", nullptr);
            return menu && IsWindowVisible(menu);
        });
        if (command == L"no-menu")
            return shown ? 1 : 0;
        if (!shown)
            return 1;
        RECT rect{};
        GetWindowRect(menu, &rect);
        PrintRect(rect);
        return 0;
    }
    if (command == L"wait-window") {
        HWND found = nullptr;
        if (!WaitFor(number(4), [&] { return (found = FindVisible(arg(2), arg(3))) != nullptr; }))
            return 1;
        RECT rect{};
        GetWindowRect(found, &rect);
        PrintRect(rect);
        return 0;
    }
    if (command == L"close-window") {
        HWND found = FindVisible(arg(2), arg(3));
        return found && PostMessageW(found, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"click-button") {
        HWND box = FindVisible(L"#32770", arg(2));
        HWND button = box ? GetDlgItem(box, number(3)) : nullptr;
        return button && PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (command == L"about-layout") {
        HWND box = FindVisible(L"#32770", L"About Tabula");
        if (!box)
            return 1;
        RECT rect{};
        GetWindowRect(box, &rect);
        std::printf("%s %ld %ld %ld %ld\n", AboutLayout(box).c_str(), rect.left, rect.top, rect.right, rect.bottom);
        return 0;
    }
    if (command == L"close-main")
        return PostMessageW(MainWindow(), WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"set-screen") {
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        mode.dmPelsWidth = number(2);
        mode.dmPelsHeight = number(3);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
    }
    if (command == L"taskbar") {
        HWND bar = FindWindowW(L"Shell_TrayWnd", nullptr);
        RECT rect{};
        if (!bar || !IsWindowVisible(bar) || !GetWindowRect(bar, &rect))
            return 1;
        PrintRect(rect);
        return 0;
    }
    if (command == L"screen") {
        std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (command == L"ctrl-a") {
        // The keys go to the foreground thread, which the program becomes as it is when its icon is tapped.
        SetForegroundWindow(MainWindow());
        PressKeys({VK_CONTROL, 'A'});
        return 0;
    }
    if (command == L"startup-link") {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, folder)))
            return 1;
        std::printf("%ls\\%ls.lnk\n", folder, arg(2).c_str());
        return 0;
    }
    if (command == L"link-target") {
        const std::wstring target = LinkTarget(arg(2));
        std::printf("%ls\n", target.c_str());
        return target.empty() ? 1 : 0;
    }
    return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int result = Run(argc, argv);
    std::fflush(stdout);
    return result;
}
