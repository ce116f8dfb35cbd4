#pragma once
// Checks run from inside modal loops, windows found by class and caption, real input, and what the shell holds.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace apptest {

// Polls test every 50 ms, pumping this thread's messages, until it holds or timeoutMs pass.
inline bool WaitFor(DWORD timeoutMs, const std::function<bool()>& test)
{
    for (const DWORD start = GetTickCount(); !test(); Sleep(50)) {
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageW(&msg);
        if (GetTickCount() - start > timeoutMs)
            return false;
    }
    return true;
}

// Runs check every 50 ms, never nested, from this thread's message loops until it holds; at timeoutMs closes modal UI.
class Watch {
public:
    explicit Watch(std::function<bool()> check, UINT timeoutMs = 15000)
        : check_(std::move(check)), deadline_(GetTickCount() + timeoutMs), id_(SetTimer(nullptr, 0, 50, Tick)) { Active()[id_] = this; }
    ~Watch() { Active().erase(id_), KillTimer(nullptr, id_); }
    Watch(const Watch&) = delete;
    bool done() const { return done_; }

private:
    static std::map<UINT_PTR, Watch*>& Active() { static std::map<UINT_PTR, Watch*> watches; return watches; }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        Watch* watch = Active().count(id) ? Active()[id] : nullptr;
        if (!watch || watch->done_ || watch->busy_)
            return;
        watch->busy_ = true, watch->done_ = watch->check_(), watch->busy_ = false;
        if (watch->done_ || GetTickCount() < watch->deadline_ || !KillTimer(nullptr, id))
            return;
        EndMenu();
        EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM) {   // the dialogs
            wchar_t cls[16] = {};
            return GetClassNameW(window, cls, 16) && !wcscmp(cls, L"#32770") && PostMessageW(window, WM_CLOSE, 0, 0), TRUE; }, 0);
    }
    std::function<bool()> check_;
    DWORD deadline_;
    UINT_PTR id_;
    bool done_ = false, busy_ = false;
};

// The top-level windows (of a thread, or all).
inline std::vector<HWND> TopWindows(DWORD thread = 0)
{
    std::vector<HWND> windows;
    const WNDENUMPROC add = [](HWND window, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(window), TRUE; };
    thread ? EnumThreadWindows(thread, add, LPARAM(&windows)) : EnumWindows(add, LPARAM(&windows));
    return windows;
}

// A visible top-level window (of a thread, or any) of a class ("" any) whose caption holds captionPart, and that is not
// one of those before (windows that were there before the action looked for); null if none.
inline HWND FindWindowWith(const std::wstring& className, const std::wstring& captionPart, DWORD thread = 0,
                           const std::vector<HWND>& before = {})
{
    for (HWND window : TopWindows(thread)) {
        if (std::find(before.begin(), before.end(), window) != before.end())
            continue;
        wchar_t cls[64] = {}, text[256] = {};
        DWORD_PTR ignored = 0;   // through the window manager only: a hung window must not hang the test
        GetClassNameW(window, cls, 64), SendMessageTimeoutW(window, WM_GETTEXT, 256, LPARAM(text), SMTO_ABORTIFHUNG, 500, &ignored);
        if (IsWindowVisible(window) && (className.empty() || className == cls) && std::wstring(text).find(captionPart) != std::wstring::npos)
            return window;
    }
    return nullptr;
}

// A visible dialog or message box of this thread with exactly this caption, or null.
inline HWND FindDialog(const std::wstring& caption)
{
    HWND found = FindWindowWith(L"#32770", caption, GetCurrentThreadId());
    wchar_t text[256] = {};
    return found && GetWindowTextW(found, text, 256) && caption == text ? found : nullptr;
}

inline void Click(HWND dialog, int control) { SendMessageW(GetDlgItem(dialog, control), BM_CLICK, 0, 0); }

inline HWND VisibleMenuWindow() { const HWND menu = FindWindowW(L"#32768", nullptr); return IsWindowVisible(menu) ? menu : nullptr; }

// Real input; the pointer settles before it clicks, or Wine may take the click where the pointer was. Each event carries
// the point too: Wine may take the pointer back to where the X server has it between two events, and a button without
// a position would go there.
inline void ClickAt(int x, int y, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, down, up};
    for (int i = 0; i < 3; ++i)
        inputs[i].type = INPUT_MOUSE, inputs[i].mi = {(x * 65535 + width / 2) / (width - 1), (y * 65535 + height / 2) / (height - 1),
                                                      0, flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
    SendInput(1, inputs, sizeof(INPUT)), Sleep(100), SendInput(3, inputs, sizeof(INPUT));
}
inline void PressKeys(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs(keys.size() * 2);
    for (size_t i = 0, up = 0; i < inputs.size(); ++i, up = i >= keys.size())   // down in order, up in reverse
        inputs[i].type = INPUT_KEYBOARD, inputs[i].ki = {keys.begin()[up ? inputs.size() - 1 - i : i], 0, DWORD(up ? KEYEVENTF_KEYUP : 0), 0, 0};
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A high-contrast scheme turned on as a user of Wine turns it on: its colours for the session, its switch where Windows
// keeps it (Wine refuses SPI_SETHIGHCONTRAST). Turned off again, with the colours as they were, at the end.
class HighContrastScheme {
public:
    explicit HighContrastScheme(const std::vector<std::pair<int, COLORREF>>& scheme)
    {
        for (const auto& [element, colour] : scheme)
            elements_.push_back(element), before_.push_back(GetSysColor(element)), colours_.push_back(colour);
        SetSysColors(int(elements_.size()), elements_.data(), colours_.data());
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Flags", REG_SZ, L"127", 8);   // HCF_HIGHCONTRASTON and the usual others
    }
    ~HighContrastScheme() { SetSysColors(int(elements_.size()), elements_.data(), before_.data()), RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Flags"); }
    HighContrastScheme(const HighContrastScheme&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Accessibility\\HighContrast";
    std::vector<int> elements_;
    std::vector<COLORREF> before_, colours_;
};

// The system's light or dark choice for programs (AppsUseLightTheme: 1 light, 0 dark, -1 none), told to the windows
// as the system tells it; none again at the end, as a Wine prefix has it.
class SystemTheme {
public:
    explicit SystemTheme(int light, HWND told = nullptr) { Set(light, told); }
    ~SystemTheme() { Set(-1, told_); }
    SystemTheme(const SystemTheme&) = delete;
    void Set(int light, HWND told)
    {
        const DWORD value = light;
        light < 0 ? RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme")
                  : RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"AppsUseLightTheme", REG_DWORD, &value, 4);
        if ((told_ = told))
            SendMessageW(told, WM_SETTINGCHANGE, 0, LPARAM(L"ImmersiveColorSet"));
    }

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    HWND told_ = nullptr;
};

// A window's pixels as drawn (its own device context copied out), by row and column of the window.
inline std::vector<COLORREF> WindowPixels(HWND window, RECT area)
{
    HDC from = GetWindowDC(window), into = CreateCompatibleDC(from);
    HBITMAP copy = CreateCompatibleBitmap(from, area.right - area.left, area.bottom - area.top);
    HGDIOBJ old = SelectObject(into, copy);
    BitBlt(into, 0, 0, area.right - area.left, area.bottom - area.top, from, area.left, area.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < area.bottom - area.top; ++y)
        for (int x = 0; x < area.right - area.left; ++x)
            pixels.push_back(GetPixel(into, x, y));
    SelectObject(into, old), DeleteObject(copy), DeleteDC(into), ReleaseDC(window, from);
    return pixels;
}

// Whether the shell holds a notification icon with this window and id.
inline bool ShellHasIcon(HWND window, UINT id)
{ NOTIFYICONDATAW probe{}; probe.cbSize = sizeof(probe), probe.hWnd = window, probe.uID = id; return Shell_NotifyIconW(NIM_MODIFY, &probe); }

// The target of a shell link, read back through the shell; empty when it cannot be read.
inline std::wstring LinkTarget(const std::wstring& linkPath)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) && SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)))
        link->GetPath(path, MAX_PATH, nullptr, 0);
    file ? file->Release() : 0, link ? link->Release() : 0;
    return path;
}

// A 16x16 icon file: its directory, then its picture (colours, then the mask of a square icon).
inline void MakeIconFile(const std::wstring& path)
{
    std::string bytes("\0\0\1\0\1\0\x10\x10\0\0\1\0\x20\0\x68\x04\0\0\x16\0\0\0", 22);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header), header.biWidth = 16, header.biHeight = 32, header.biPlanes = 1, header.biBitCount = 32;
    bytes.append(reinterpret_cast<const char*>(&header), sizeof(header)).append(16 * 16 * 4, '\x7f').append(16 * 4, '\0');
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr), CloseHandle(file);
}

// The threads of this process now.
inline int Threads()
{
    int count = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread{};
    thread.dwSize = sizeof(thread);
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        count += thread.th32OwnerProcessID == GetCurrentProcessId();
    return CloseHandle(snapshot), count;
}

// The GDI and USER objects (windows, menus, icons and cursors) that this process holds. Wine counts none
// (GetGuiResources answers 0): there each value such a handle can have is tried, its 16 low bits being enough to name it.
inline DWORD GuiObjects()
{
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) + GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS))
        return counted;
    DWORD objects = 0;
    for (ULONG_PTR value = 0x20; value < 0x10000; ++value) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        ICONINFO icon{};
        objects += GetObjectType(handle) != 0;
        if (value % 2 == 0 && (IsWindow(HWND(handle)) || IsMenu(HMENU(handle)) || GetIconInfo(HICON(handle), &icon)))
            ++objects, DeleteObject(icon.hbmColor), DeleteObject(icon.hbmMask);   // the copies that GetIconInfo made
    }
    return objects;
}

}  // namespace apptest
