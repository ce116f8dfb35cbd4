#include "app/ShellIconCache.h"

#include <shellapi.h>

#include <algorithm>
#include <cwctype>

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
    wchar_t value[512] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, keyPath.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

bool KeyExists(const std::wstring& keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// True when a class draws each file with an icon of its own ("%1" as its icon, or an icon handler).
bool ClassHasPerFileIcon(const std::wstring& cls)
{
    return ReadDefaultValue(cls + L"\\DefaultIcon").find(L"%1") != std::wstring::npos ||
           KeyExists(cls + L"\\shellex\\IconHandler");
}

}  // namespace

bool CShellIconCache::IconOfTypeIsShared(const std::wstring& extension)
{
    auto known = shared_.find(extension);
    if (known != shared_.end())
        return known->second;
    static const wchar_t* const kPerFile[] = {L".exe", L".dll", L".ico", L".cur", L".ani", L".lnk",
                                              L".url", L".scr", L".cpl", L".msc", L".appref-ms"};
    bool shared = !extension.empty() && std::none_of(std::begin(kPerFile), std::end(kPerFile),
                                                     [&](const wchar_t* e) { return extension == e; });
    if (shared) {
        const std::wstring cls = ReadDefaultValue(extension);
        shared = !ClassHasPerFileIcon(extension) && (cls.empty() || !ClassHasPerFileIcon(cls));
    }
    shared_.emplace(extension, shared);
    return shared;
}

CShellIconCache::Icon CShellIconCache::SmallIcon(const std::wstring& path)
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

    auto cached = icons_.find(extension);
    if (cached == icons_.end()) {
        handles::unique_hicon icon(AskShell(path));
        if (!icon)
            return {};
        cached = icons_.emplace(extension, std::move(icon)).first;
    }
    return {cached->second.get(), false};
}
