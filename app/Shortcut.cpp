#include "app/Shortcut.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/Startup.h"

bool GetStartupFolder(std::wstring& folder)
{
    LPITEMIDLIST items = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_STARTUP, &items) != S_OK)
        return false;
    wchar_t path[MAX_PATH] = {};   // the size the call itself writes at most
    const bool found = SHGetPathFromIDListW(items, path) != FALSE;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
    if (found)
        folder = path;
    return found;
}

std::wstring BuildShortcutPath(const std::wstring& programPath, const std::wstring& folder)
{
    const size_t slash = programPath.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? programPath : programPath.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return folder + L'\\' + name + L".lnk";
}

std::string BuildShortcutText(const std::wstring& programPath, UINT codePage)
{
    // The count is the path length + 5, as the device's startup folder expects it.
    const std::wstring wide =
        std::to_wstring(programPath.size() + 5) + L"#\"" + programPath + L"\"";
    // Sized by the conversion itself: a double-byte character takes two bytes.
    const int bytes = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes, nullptr, nullptr);
    return text;
}

void UpdateStartupShortcut(const std::wstring& programPath, bool create)
{
    std::wstring folder;
    // Without a startup folder there is no shortcut to write or delete.
    if (!GetStartupFolder(folder) || folder.empty())
        return;
    const std::wstring shortcut = BuildShortcutPath(programPath, folder);
    if (!create) {
        DeleteFileW(shortcut.c_str());
        return;
    }
    platform::WriteStartupShortcut(shortcut, programPath, BuildShortcutText(programPath));
}

std::wstring RunningProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);   // cut short: try a larger buffer
    }
}
