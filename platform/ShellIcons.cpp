#include "platform/ShellIcons.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cwctype>
#include <map>

#include "platform/Registry.h"
#include "platform/Shell.h"

namespace platform {

namespace {

HICON AskShell(const std::wstring& path)
{
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
        return nullptr;
    return info.hIcon;
}

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

// Whether the files of a type all show the icon of the type.
bool IconOfTypeIsShared(const std::wstring& extension)
{
    static std::map<std::wstring, bool> shared;   // lower-case extension -> icon shared by the type
    auto known = shared.find(extension);
    if (known != shared.end())
        return known->second;
    static const wchar_t* const kPerFile[] = {L".exe", L".dll", L".ico", L".cur", L".ani", L".lnk",
                                              L".url", L".scr", L".cpl", L".msc", L".appref-ms"};
    bool isShared = !extension.empty() && std::none_of(std::begin(kPerFile), std::end(kPerFile),
                                                     [&](const wchar_t* e) { return extension == e; });
    if (isShared) {
        const std::wstring cls = ReadDefaultValue(extension);
        isShared = !ClassHasPerFileIcon(extension) && (cls.empty() || !ClassHasPerFileIcon(cls));
    }
    shared.emplace(extension, isShared);
    return isShared;
}

}  // namespace

SmallIcon SmallFileIcon(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A file that is not there has no icon; anything else (a share, a shell name) is for the shell to say.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
            return {};
        return {AskShell(path), true};
    }
    const std::wstring extension = LowerExtension(path);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !IconOfTypeIsShared(extension))
        return {AskShell(path), true};

    static std::map<std::wstring, handles::unique_hicon> icons;   // lower-case extension -> its icon
    auto cached = icons.find(extension);
    if (cached == icons.end()) {
        handles::unique_hicon icon(AskShell(path));
        if (!icon)
            return {};
        cached = icons.emplace(extension, std::move(icon)).first;
    }
    return {cached->second.get(), false};
}

SmallIcon SmallFolderIcon(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
        return SmallFileIcon(path);
    static handles::unique_hicon plain;
    if (!plain) {
        SHFILEINFOW info{};
        if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof(info),
                           SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
            plain.reset(info.hIcon);
    }
    return plain ? SmallIcon{plain.get(), false} : SmallFileIcon(path);
}

handles::unique_hicon GetSmallFileIcon(const std::wstring& path)
{
    const SmallIcon icon = SmallFileIcon(ResolveDevicePath(path));
    return handles::unique_hicon(icon.owned || !icon.icon ? icon.icon : CopyIcon(icon.icon));
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
    const std::wstring file = ResolveDevicePath(place.file);
    HICON icon = nullptr;
    UINT id = 0;
    // Not a count of icons: none, or 0xFFFFFFFF for a file that cannot be read.
    const UINT extracted = PrivateExtractIconsW(file.c_str(), place.index, GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), &icon, &id, 1, 0);
    return handles::unique_hicon(extracted == 1 ? icon : nullptr);
}

handles::unique_hbitmap IconToBitmap(HWND window, HICON icon)
{
    handles::window_dc screen(window);
    handles::unique_hdc memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    if (!memory)
        return nullptr;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    handles::unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), cx, cy));
    if (!bitmap)
        return nullptr;
    handles::select_object selected(memory.get(), bitmap.get());
    RECT all{0, 0, cx, cy};
    FillRect(memory.get(), &all, SysColorBrush(COLOR_MENU));
    if (icon)
        DrawIconEx(memory.get(), 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
    return bitmap;
}

}  // namespace platform
