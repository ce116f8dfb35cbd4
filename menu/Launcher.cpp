#include "menu/Launcher.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/Shell.h"

ShellOpening OpeningOf(const std::wstring& stored)
{
    const std::wstring path = platform::ResolveDevicePath(stored);
    // The shell opens nothing longer than its path buffers, and a much longer path brings it down.
    if (path.size() >= MAX_PATH)
        return {};
    // A path whose attributes cannot be read goes to the shell as a file, which fails quietly.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {platform::FileExplorer(), platform::FileExplorerParameters(path)};
    return {path, {}};
}

void OpenDocument(const std::wstring& path)
{
    const ShellOpening opening = OpeningOf(path);
    if (opening.file.empty())
        return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;   // a failure stays silent
    info.lpVerb = L"open";
    info.nShow = SW_SHOW;
    info.lpFile = opening.file.c_str();
    info.lpParameters = opening.parameters.empty() ? nullptr : opening.parameters.c_str();
    ShellExecuteExW(&info);
}
