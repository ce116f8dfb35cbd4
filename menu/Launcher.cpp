#include "menu/Launcher.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/Media.h"
#include "platform/Shell.h"

ShellOpening OpeningOf(const std::wstring& stored)
{
    const std::wstring path = platform::ResolveDevicePath(stored);
    // The shell opens nothing longer than its path buffers, and a much longer path brings it down.
    if (path.size() >= MAX_PATH)
        return {};
    // A path whose attributes cannot be read goes to the shell as a file, which fails quietly.
    const DWORD attributes = platform::media::Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {platform::FileExplorer(), platform::FileExplorerParameters(path)};
    return {path, {}};
}

void OpenDocument(const LaunchRequest& request)
{
    const ShellOpening opening = OpeningOf(request.path);
    if (opening.file.empty())
        return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // A failure stays silent; the shell finishes its work before the call returns, as the worker ends with it.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.nShow = SW_SHOW;
    info.lpFile = opening.file.c_str();
    info.lpParameters = opening.parameters.empty() ? nullptr : opening.parameters.c_str();
    platform::media::Execute(info);
}

void CLauncher::Launch(LaunchRequest request)
{
    pool_.Run([request = std::move(request)] { OpenDocument(request); });
}
