#include "platform/Environment.h"

#include <shlobj.h>

namespace platform {

namespace {
const wchar_t kProfileVariable[] = L"%USERPROFILE%";
}

std::wstring ExpandVariables(const std::wstring& text)
{
    if (text.find(L'%') == std::wstring::npos)
        return text;
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0)
        return text;
    std::wstring expanded(needed, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
    if (written == 0 || written > needed)
        return text;
    expanded.resize(written - 1);
    return expanded;
}

std::wstring WithProfileVariable(const std::wstring& path)
{
    std::wstring profile = ExpandVariables(kProfileVariable);
    while (!profile.empty() && profile.back() == L'\\')
        profile.pop_back();
    const size_t length = profile.size();
    if (length == 0 || profile == kProfileVariable || path.size() < length ||
        _wcsnicmp(path.c_str(), profile.c_str(), length) != 0 || (path.size() > length && path[length] != L'\\'))
        return path;
    return kProfileVariable + path.substr(length);
}

std::wstring AppDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return L"";
    std::wstring path = folder;
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

}  // namespace platform
