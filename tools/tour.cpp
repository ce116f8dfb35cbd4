// A tour of a running Tabula for a human to look at: starts tabula.exe, taps its icon, highlights the first entry
// with the Down key, opens "Configuration" and shows its three tabs and the Add Section dialog, then closes them, hands
// it a menu with sections and shows the find box with "re" typed, then chooses "Exit" and answers No. A picture of the
// screen is saved at each step as a BMP file, and one named "stopped" where a step fails.
//
// Usage: tabula_tour.exe TABULA_EXE OUTPUT_PREFIX   (pictures: OUTPUT_PREFIX + "menu.bmp" and so on)
// It prints the path of each picture, and ends with 0 when every step was reached. With TABULA_CONTRAST=1 in its
// environment the whole tour runs under a high-contrast scheme, turned off again at its end; with TABULA_THEME=dark the
// system asks programs for dark colours, as it did not before.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "AppTesting.h"
#include "app/TryIcon.h"
#include "res/resource.h"

namespace {

using apptest::WaitFor;

HWND MainWindow() { return FindWindowW(L"TABULA", L"Tabula"); }
DWORD MainThread() { return GetWindowThreadProcessId(MainWindow(), nullptr); }
int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// A visible window of the program with this exact caption, once there is one (null after ten seconds).
HWND AwaitWindow(const wchar_t* className, const wchar_t* caption)
{
    HWND found = nullptr;
    WaitFor(10000, [&] {
        found = FindWindowW(className, caption);
        return found && IsWindowVisible(found);
    });
    return found;
}

// A real tap on the notification icon, the only one, at the right end of the task bar; true once the program tracks
// its menu. No second tap: one that came late would open the menu again at a later step.
bool TapIcon()
{
    static int shift = 0;   // two taps in a row at the same point would make a double click
    apptest::ClickAt(ScreenWidth() - 8 - (shift ^= 6), ScreenHeight() - 10);
    const bool open = WaitFor(15000, [] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(MainThread(), &info) && (info.flags & GUI_INMENUMODE);
    });
    Sleep(200);   // the menu is drawn
    return open;
}

// Saves the whole screen as a 24-bit BMP file.
bool SaveScreen(const std::wstring& path)
{
    const int width = ScreenWidth(), height = ScreenHeight();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u, size = stride * static_cast<DWORD>(height);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const auto* info = reinterpret_cast<BITMAPINFO*>(&header);
    HBITMAP bitmap = CreateDIBSection(screen, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = bitmap && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;   // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + size;
    FILE* out = copied ? _wfopen(path.c_str(), L"wb") : nullptr;
    const bool written = out && fwrite(&file, sizeof(file), 1, out) == 1 &&
                         fwrite(&header, sizeof(header), 1, out) == 1 && fwrite(bits, size, 1, out) == 1;
    if (out)
        fclose(out);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

// Chooses a tab of the settings window as a tap on it would, and waits until its page is chosen. Not a real click:
// at some densities this program's pointer and the other's windows disagree, and a stray click may land on the icon.
bool ChooseTab(HWND tabs, int index)
{
    SendMessageW(tabs, TCM_SETCURFOCUS, index, 0);
    return WaitFor(5000, [&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == index; });
}

// Runs the program with arguments and waits for it; its exit code, or -1 when it did not run.
int RunToEnd(const std::wstring& program, const std::wstring& arguments)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + program + L"\" " + arguments;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = DWORD(-1);
    WaitForSingleObject(process.hProcess, 20000), GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread), CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// A menu with sections for the find box's picture, written to the temporary folder; its path. Its documents are files
// of every Wine prefix, so that their own icons show.
std::wstring WriteSampleMenu()
{
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tabula-tour-menu.json";
    const char text[] = R"({"version": 1, "hotkey": 1620, "tree": [
  {"kind": "document", "name": "\\My Documents", "builtin": true}, {"kind": "separator", "builtin": true},
  {"kind": "document", "name": "C:\\windows\\regedit.exe", "Caption": "Registry"},
  {"kind": "section", "name": "Work", "children": [
    {"kind": "document", "name": "C:\\windows\\notepad.exe", "Caption": "Report notes"},
    {"kind": "section", "name": "Reports", "children": [
      {"kind": "document", "name": "C:\\windows\\win.ini", "Caption": "Budget report"},
      {"kind": "document", "name": "C:\\windows\\system.ini", "Caption": "Quarterly report"}]}]},
  {"kind": "document", "name": "C:\\windows\\system32", "Caption": "Reports archive"},
  {"kind": "document", "name": "Configuration", "builtin": true}, {"kind": "document", "name": "Exit", "builtin": true}]})";
    FILE* out = _wfopen(path.c_str(), L"wb");
    const bool written = out && fwrite(text, sizeof(text) - 1, 1, out) == 1;
    if (out)
        fclose(out);
    return written ? path : L"";
}

class Tour {
public:
    explicit Tour(std::wstring prefix) : prefix_(std::move(prefix)) {}

    // Runs one step; on failure, says which and stops the tour.
    bool Step(const char* what, bool done)
    {
        if (!done) {
            std::fprintf(stderr, "The tour stopped: %s.\n", what);
            SaveScreen(prefix_ + L"stopped.bmp");   // what the screen showed instead
        }
        return done;
    }

    bool Shot(const wchar_t* name)
    {
        Sleep(300);   // what was just opened is drawn
        const std::wstring path = prefix_ + name + L".bmp";
        if (!SaveScreen(path))
            return Step("a picture could not be saved", false);
        std::printf("%ls\n", path.c_str());
        std::fflush(stdout);
        return true;
    }

private:
    std::wstring prefix_;
};

// A high-contrast scheme after Windows' "High Contrast Black": white text on black, cyan selections, green gray text.
const std::vector<std::pair<int, COLORREF>> kHighContrastBlack = {
    {COLOR_BACKGROUND, RGB(0, 0, 0)}, {COLOR_APPWORKSPACE, RGB(0, 0, 0)}, {COLOR_SCROLLBAR, RGB(0, 0, 0)},
    {COLOR_WINDOW, RGB(0, 0, 0)}, {COLOR_WINDOWTEXT, RGB(255, 255, 255)}, {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
    {COLOR_MENU, RGB(0, 0, 0)}, {COLOR_MENUTEXT, RGB(255, 255, 255)}, {COLOR_MENUBAR, RGB(0, 0, 0)},
    {COLOR_MENUHILIGHT, RGB(26, 235, 255)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)}, {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
    {COLOR_HOTLIGHT, RGB(255, 255, 0)}, {COLOR_GRAYTEXT, RGB(63, 242, 0)}, {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DLIGHT, RGB(255, 255, 255)},
    {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_3DDKSHADOW, RGB(255, 255, 255)}, {COLOR_INFOBK, RGB(0, 0, 0)},
    {COLOR_INFOTEXT, RGB(255, 255, 255)}, {COLOR_ACTIVECAPTION, RGB(128, 0, 128)},
    {COLOR_GRADIENTACTIVECAPTION, RGB(128, 0, 128)}, {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_INACTIVECAPTION, RGB(0, 128, 0)}, {COLOR_GRADIENTINACTIVECAPTION, RGB(0, 128, 0)},
    {COLOR_INACTIVECAPTIONTEXT, RGB(255, 255, 255)}, {COLOR_ACTIVEBORDER, RGB(255, 255, 0)},
    {COLOR_INACTIVEBORDER, RGB(0, 128, 0)},
};

// Windows draws its controls without their visual style under a high-contrast scheme; Wine keeps its theme unless its
// switch is off when a program starts. Off while this lives, as it was afterwards.
class ThemeOff {
public:
    ThemeOff()
    {
        DWORD size = sizeof(before_);
        if (RegGetValueW(HKEY_CURRENT_USER, kKey, L"ThemeActive", RRF_RT_REG_SZ, nullptr, before_, &size) == ERROR_SUCCESS)
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ThemeActive", REG_SZ, L"0", 2 * sizeof(wchar_t));
    }
    ~ThemeOff()
    {
        if (*before_)
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ThemeActive", REG_SZ, before_, (lstrlenW(before_) + 1) * sizeof(wchar_t));
    }
    ThemeOff(const ThemeOff&) = delete;
    ThemeOff& operator=(const ThemeOff&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    wchar_t before_[16] = {};
};

int RunTour(const std::wstring& program, const std::wstring& prefix)
{
    std::optional<apptest::HighContrastScheme> contrast;
    std::optional<ThemeOff> themeOff;
    if (const wchar_t* wanted = _wgetenv(L"TABULA_CONTRAST"); wanted && std::wstring(wanted) == L"1")
        contrast.emplace(kHighContrastBlack), themeOff.emplace();
    std::optional<apptest::SystemTheme> dark;
    if (const wchar_t* wanted = _wgetenv(L"TABULA_THEME"); wanted && std::wstring(wanted) == L"dark")
        dark.emplace(0);
    Tour tour(prefix);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + program + L"\"";
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                        &process);
    if (!tour.Step("tabula.exe could not be started", started))
        return 1;
    CloseHandle(process.hThread);
    const auto ended = [&](DWORD ms) { return WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0; };
    const bool toured = [&] {
        const auto iconShown = [] { return apptest::ShellHasIcon(MainWindow(), TRAY_ICON_ID); };
        if (!tour.Step("no notification icon", WaitFor(20000, iconShown)))
            return false;
        // The menu, its first entry highlighted.
        if (!tour.Step("the menu did not open", TapIcon()))
            return false;
        apptest::PressKeys({VK_DOWN});
        if (!tour.Shot(L"menu"))
            return false;
        // "Configuration" (second from the bottom, above "Exit"): both tabs.
        apptest::PressKeys({VK_UP});
        apptest::PressKeys({VK_UP});
        apptest::PressKeys({VK_RETURN});
        HWND settings = AwaitWindow(L"#32770", L"Dialog");
        if (!tour.Step("the settings window did not open", settings != nullptr) || !tour.Shot(L"sections"))
            return false;
        HWND tabs = GetDlgItem(settings, IDC_TABS);
        if (!tour.Step("the Documents tab could not be chosen", ChooseTab(tabs, 1)) || !tour.Shot(L"documents"))
            return false;
        if (!tour.Step("the Sections tab could not be chosen", ChooseTab(tabs, 0)))
            return false;
        // The Add Section dialog, opened by the +Sec button of the Sections page, then cancelled.
        HWND plus = nullptr;
        WaitFor(5000, [&] {
            for (HWND page = nullptr; !plus && (page = FindWindowExW(tabs, page, L"#32770", nullptr)) != nullptr;)
                plus = IsWindowVisible(page) ? GetDlgItem(page, IDC_ADD_SECTION) : nullptr;
            return plus != nullptr;
        });
        if (!tour.Step("no +Sec button", plus != nullptr))
            return false;
        PostMessageW(plus, BM_CLICK, 0, 0);
        HWND adding = AwaitWindow(L"#32770", L"Add Section");
        if (!tour.Step("the Add Section dialog did not open", adding != nullptr) || !tour.Shot(L"add-section"))
            return false;
        PostMessageW(GetDlgItem(adding, IDC_ADD_SECTION_CANCEL), BM_CLICK, 0, 0);
        WaitFor(5000, [&] { return !IsWindow(adding); });
        // The Options tab, last, chosen without a click: every click risks one that Wine's notification area takes for a tap.
        SendMessageW(tabs, TCM_SETCURFOCUS, 2, 0);
        if (!tour.Step("the Options tab could not be chosen", TabCtrl_GetCurSel(tabs) == 2) || !tour.Shot(L"options"))
            return false;
        PostMessageW(settings, WM_CLOSE, 0, 0);
        if (!tour.Step("the settings window did not close", WaitFor(5000, [&] { return !IsWindow(settings); })))
            return false;
        // The find box over a menu with sections, handed to the running program as a menu file, "re" typed.
        if (!tour.Step("the sample menu was not taken", RunToEnd(program, L"/import \"" + WriteSampleMenu() + L"\"") == 0))
            return false;
        apptest::PressKeys({VK_CONTROL, VK_MENU, 'F'});
        if (!tour.Step("the find box did not open", AwaitWindow(L"TabulaFind", L"Find") != nullptr))
            return false;
        apptest::PressKeys({'R'}), apptest::PressKeys({'E'});
        if (!tour.Shot(L"find"))
            return false;
        apptest::PressKeys({VK_ESCAPE});
        // "Exit" (the last entry) and its question, answered No.
        if (!tour.Step("the menu did not open again", TapIcon()))
            return false;
        apptest::PressKeys({VK_UP});
        apptest::PressKeys({VK_RETURN});
        HWND question = AwaitWindow(L"#32770", L"Run on startup setting");
        if (!tour.Step("no question after Exit", question != nullptr) || !tour.Shot(L"exit-question"))
            return false;
        PostMessageW(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
        return tour.Step("the program did not end", ended(15000));
    }();
    if (!ended(0)) {
        PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
        if (!ended(5000))
            TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return toured ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fputs("usage: tabula_tour.exe TABULA_EXE OUTPUT_PREFIX\n", stderr);
        return 2;
    }
    return RunTour(argv[1], argv[2]);
}
