#include "platform/ShellIcons.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cwctype>

#include "platform/Media.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/Theme.h"

namespace platform {

namespace {

std::wstring ReadDefaultValue(const std::wstring& keyPath)
{
    const reg::unique_hkey key = reg::OpenKey(HKEY_CLASSES_ROOT, keyPath.c_str());
    return key ? reg::ReadString(key.get(), nullptr).value_or(L"") : L"";
}

bool KeyExists(const std::wstring& keyPath) { return static_cast<bool>(reg::OpenKey(HKEY_CLASSES_ROOT, keyPath.c_str())); }

// True when a class draws each file with an icon of its own ("%1" as its icon, or an icon handler).
bool ClassHasPerFileIcon(const std::wstring& cls)
{
    return ReadDefaultValue(cls + L"\\DefaultIcon").find(L"%1") != std::wstring::npos ||
           KeyExists(cls + L"\\shellex\\IconHandler");
}

}  // namespace

std::wstring LowerExtension(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return {};
    std::wstring extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return extension;
}

bool IconOfTypeIsShared(const std::wstring& extension)
{
    static const wchar_t* const kPerFile[] = {L".exe", L".dll", L".ico", L".cur", L".ani", L".lnk",
                                              L".url", L".scr", L".cpl", L".msc", L".appref-ms"};
    if (extension.empty() ||
        std::any_of(std::begin(kPerFile), std::end(kPerFile), [&](const wchar_t* e) { return extension == e; }))
        return false;
    const std::wstring cls = ReadDefaultValue(extension);
    return !ClassHasPerFileIcon(extension) && (cls.empty() || !ClassHasPerFileIcon(cls));
}

handles::unique_hicon TypeIcon(const std::wstring& extension, bool folder)
{
    SHFILEINFOW info{};
    const std::wstring name = folder ? L"folder" : L"file" + extension;
    if (!SHGetFileInfoW(name.c_str(), folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        return nullptr;
    return handles::unique_hicon(info.hIcon);
}

FileLook LookAtFile(const std::wstring& path, bool typeShared)
{
    FileLook look;
    const DWORD attributes = media::Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A file that is not there has no icon; anything else is for the shell to say.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
            return look;
        look.own.reset(media::ShellIcon(path, 0, SHGFI_SMALLICON));
        look.exists = look.own != nullptr;
        return look;
    }
    look.exists = true;
    look.folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    // Only a drive, a share or a read-only or system folder (the marks of a customised one) can look other than the
    // plain folder icon.
    const bool marked = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    const bool own = look.folder ? PathIsRootW(path.c_str()) || marked : !typeShared;
    if (own)
        look.own.reset(media::ShellIcon(path, 0, SHGFI_SMALLICON));
    return look;
}

handles::unique_hicon GetSmallFileIcon(const std::wstring& stored)
{
    const std::wstring path = ResolveDevicePath(stored);
    const std::wstring extension = LowerExtension(path);
    FileLook look = LookAtFile(path, IconOfTypeIsShared(extension));
    if (look.own || !look.exists)
        return std::move(look.own);
    return TypeIcon(extension, look.folder);
}

IconLocation ParseIconLocation(const std::wstring& text)
{
    const size_t comma = text.rfind(L',');
    if (comma == std::wstring::npos || comma + 1 == text.size())
        return {text, 0};
    wchar_t* end = nullptr;
    const long index = std::wcstol(text.c_str() + comma + 1, &end, 10);
    if (*end != L'\0' || index < INT_MIN || index > INT_MAX)
        return {text, 0};
    return {text.substr(0, comma), static_cast<int>(index)};
}

std::wstring FormatIconLocation(const IconLocation& location)
{
    return location.file + L"," + std::to_wstring(location.index);
}

handles::unique_hicon SmallIconAt(const std::wstring& location)
{
    const IconLocation place = ParseIconLocation(location);
    return handles::unique_hicon(media::FileIcon(ResolveDevicePath(place.file), place.index,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
}

handles::unique_hbitmap IconToBitmap(HWND window, HICON icon)
{
    handles::window_dc screen(window);
    handles::unique_hdc memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory)
        return nullptr;
    const SIZE size = SmallIconSize(WindowDensity(window));
    const int cx = size.cx, cy = size.cy;
    // 32 bits a pixel, as an image list of the shell's icons keeps them; an image list takes such bits at half the cost
    // of a screen bitmap's.
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = cx;
    format.bmiHeader.biHeight = -cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    handles::unique_hbitmap bitmap(CreateDIBSection(screen.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return nullptr;
    handles::select_object selected(memory.get(), bitmap.get());
    RECT all{0, 0, cx, cy};
    const CTheme* theme = ThemeOf(window);
    FillRect(memory.get(), &all, theme && theme->Dark() ? theme->WindowBrush() : SysColorBrush(COLOR_MENU));
    if (icon)
        DrawIconEx(memory.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    return bitmap;
}

}  // namespace platform
