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

HFONT MenuFont()
{
    // The desktop's menu font, made again only when the density changed.
    static handles::unique_hfont font;
    static int madeFor = 0;
    if (const int dpi = ScreenDpi(); dpi != madeFor) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        font.reset(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)
                       ? CreateFontIndirectW(&metrics.lfMenuFont)
                       : nullptr);
        madeFor = dpi;
    }
    return font.get();
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
