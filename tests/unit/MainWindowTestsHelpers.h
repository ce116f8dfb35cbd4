#pragma once
// Helpers for tests of the program's windows: checks run from inside modal loops (menus, dialogs,
// message boxes), so that no test waits for a human.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <map>
#include <string>

namespace apptest {

// Runs check every 50 ms on this thread, from whatever message loop runs (a tracked menu's, a modal
// dialog's, a message box's), until it returns true; a check that itself runs a message loop is not
// entered again. After timeoutMs the menu and the thread's dialogs are closed, so that a failing test
// ends instead of waiting.
class Watch {
public:
    explicit Watch(std::function<bool()> check, UINT timeoutMs = 15000)
        : check_(std::move(check)), deadline_(GetTickCount() + timeoutMs)
    {
        id_ = SetTimer(nullptr, 0, 50, Tick);
        Active()[id_] = this;
    }
    ~Watch() { Stop(); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool done() const { return done_; }
    bool timedOut() const { return timedOut_; }

private:
    static std::map<UINT_PTR, Watch*>& Active()
    {
        static std::map<UINT_PTR, Watch*> watches;
        return watches;
    }
    static BOOL CALLBACK CloseDialog(HWND window, LPARAM)
    {
        wchar_t name[32] = {};
        GetClassNameW(window, name, 32);
        if (IsWindowVisible(window) && std::wstring(name) == L"#32770")
            PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        auto found = Active().find(id);
        if (found == Active().end())
            return;
        Watch* watch = found->second;
        if (watch->busy_)
            return;
        watch->busy_ = true;
        const bool done = watch->check_();
        watch->busy_ = false;
        if (done) {
            watch->done_ = true;
            watch->Stop();
        } else if (GetTickCount() > watch->deadline_) {
            watch->timedOut_ = true;
            watch->Stop();
            EndMenu();
            EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0);
        }
    }
    void Stop()
    {
        if (!id_)
            return;
        KillTimer(nullptr, id_);
        Active().erase(id_);
        id_ = 0;
    }

    std::function<bool()> check_;
    DWORD deadline_;
    UINT_PTR id_ = 0;
    bool done_ = false;
    bool timedOut_ = false;
    bool busy_ = false;
};

// A visible top-level window of this thread with the given class and caption, or null.
inline HWND FindThreadWindow(const wchar_t* className, const wchar_t* caption)
{
    struct Search { const wchar_t* cls; const wchar_t* caption; HWND found; } search{className, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {}, text[128] = {};
        GetClassNameW(window, name, 64);
        GetWindowTextW(window, text, 128);
        if (IsWindowVisible(window) && std::wstring(name) == s->cls && std::wstring(text) == s->caption) {
            s->found = window;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible popup menu window, or null.
inline HWND VisibleMenuWindow()
{
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A control's rectangle in its dialog's client coordinates.
inline RECT ControlRect(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A rectangle given in dialog units, in the dialog's pixels.
inline RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy)
{
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &rect);
    return rect;
}

inline bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// Whether the shell holds an icon with this window and id.
inline bool ShellHasIcon(HWND window, UINT id)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = sizeof(probe);
    probe.hWnd = window;
    probe.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

}  // namespace apptest
