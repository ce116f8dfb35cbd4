#include "platform/Shell.h"

#include <shlobj.h>

#include <cwchar>

#include "platform/Environment.h"
#include "platform/Handles.h"
#include "platform/Registry.h"

namespace platform {

namespace {
const wchar_t kDeviceDocuments[] = L"\\My Documents";
}

std::wstring ResolveDevicePath(const std::wstring& stored)
{
    const std::wstring path = ExpandVariables(stored);
    const size_t prefix = ARRAYSIZE(kDeviceDocuments) - 1;
    if (path.size() < prefix || _wcsnicmp(path.c_str(), kDeviceDocuments, prefix) != 0)
        return path;
    if (path.size() > prefix && path[prefix] != L'\\')
        return path;   // "\My Documents2" is another folder
    wchar_t documents[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, documents)))
        return path;
    return documents + path.substr(prefix);
}

const wchar_t* FileExplorer() { return L"explorer.exe"; }

std::wstring FileExplorerParameters(const std::wstring& folder)
{
    // Quoted, since desktop folder names hold spaces ("My Documents") and the file explorer splits its
    // command line at commas. Backslashes before the closing quote are doubled, or the last one would
    // escape it ("C:\" must not reach the explorer as C:").
    const size_t trailing = folder.size() - (folder.find_last_not_of(L'\\') + 1);
    return L"\"" + folder + std::wstring(trailing, L'\\') + L"\"";
}

HICON LoadIconAtSize(HINSTANCE instance, int id, int cx, int cy)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR));
}

int ScreenDpi()
{
    const handles::window_dc screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

int Scaled(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

HFONT MenuFont() { return MenuFont(ScreenDpi()); }

HFONT MenuFont(int dpi)
{
    // The desktop's menu font, made again only when the density changed; at another density than the screen's, the
    // system's own metrics for it where it has them, or the screen's font grown to it.
    static handles::unique_hfont font;
    static int madeFor = 0, screenWhenMade = 0;
    const int screen = ScreenDpi();
    if (dpi != madeFor || screen != screenWhenMade) {
        using MetricsForDpi = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
        const auto forDpi = reinterpret_cast<MetricsForDpi>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi"));
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        const bool own = dpi != screen && forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
        const bool read = own || SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
        if (read && !own && dpi != screen)
            metrics.lfMenuFont.lfHeight = MulDiv(metrics.lfMenuFont.lfHeight, dpi, screen);
        font.reset(read ? CreateFontIndirectW(&metrics.lfMenuFont) : nullptr);
        madeFor = dpi;
        screenWhenMade = screen;
    }
    return font.get();
}

namespace {
int g_pretendedDensity = 0;   // the test seam's density; 0 when off
const wchar_t kDensityProperty[] = L"Tabula.Density";
const wchar_t kFontProperty[] = L"Tabula.DensityFont";
}  // namespace

void PretendMonitorDensity(int dpi) { g_pretendedDensity = dpi; }

int DensityAt(POINT point)
{
    if (g_pretendedDensity)
        return g_pretendedDensity;
    // Windows 8.1 and later tell each monitor's density to a per-monitor aware program.
    static const HMODULE shcore = LoadLibraryW(L"shcore.dll");
    using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    const auto get = shcore ? reinterpret_cast<DpiForMonitor>(GetProcAddress(shcore, "GetDpiForMonitor")) : nullptr;
    UINT x = 0, y = 0;
    if (get && SUCCEEDED(get(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && y)
        return static_cast<int>(y);
    return ScreenDpi();
}

int WindowDensity(HWND window)
{
    const HWND root = GetAncestor(window, GA_ROOT);
    if (const auto told = reinterpret_cast<INT_PTR>(GetPropW(root, kDensityProperty)))
        return static_cast<int>(told);
    RECT area{};
    if (root && GetWindowRect(root, &area))
        return DensityAt({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
    return ScreenDpi();
}

void SetWindowDensity(HWND window, int dpi)
{
    if (!dpi) {
        RemovePropW(GetAncestor(window, GA_ROOT), kDensityProperty);
        KeepDensityFont(window, nullptr);
        return;
    }
    SetPropW(GetAncestor(window, GA_ROOT), kDensityProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(dpi)));
}

void KeepDensityFont(HWND window, HFONT font)
{
    // The font of the last change goes once its successor is in place.
    const HWND root = GetAncestor(window, GA_ROOT);
    const auto old = static_cast<HFONT>(RemovePropW(root, kFontProperty));
    if (font)
        SetPropW(root, kFontProperty, font);
    if (old && old != font)
        DeleteObject(old);
}

HFONT DensityFont(HWND window) { return static_cast<HFONT>(GetPropW(GetAncestor(window, GA_ROOT), kFontProperty)); }

int ScaledFor(HWND window, int pixels) { return MulDiv(pixels, WindowDensity(window), 96); }

SIZE SmallIconSize(int dpi)
{
    const int screen = ScreenDpi();
    const SIZE own{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    return dpi == screen ? own : SIZE{MulDiv(own.cx, dpi, screen), MulDiv(own.cy, dpi, screen)};
}

HBRUSH SysColorBrush(int index) { return GetSysColorBrush(index); }

bool HighContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return true;
    // Wine keeps no such switch (it refuses SPI_SETHIGHCONTRAST): there the user's choice is read where Windows keeps
    // it, which a Wine prefix can be given.
    const reg::unique_hkey key = reg::OpenKey(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast");
    const std::optional<std::wstring> flags = key ? reg::ReadString(key.get(), L"Flags") : std::nullopt;
    return flags && (std::wcstoul(flags->c_str(), nullptr, 10) & HCF_HIGHCONTRASTON);
}

}  // namespace platform
