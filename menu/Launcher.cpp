#include "menu/Launcher.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/Shell.h"

void OpenDocument(const std::wstring& stored)
{
    const std::wstring path = platform::ResolveDevicePath(stored);
    // The shell opens nothing longer than its path buffers, and a much longer path brings it down.
    if (path.size() >= MAX_PATH)
        return;

    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI;   // a failure stays silent
    info.lpVerb = L"open";
    info.nShow = SW_SHOW;
    // A path whose attributes cannot be read goes to the shell as a file, which fails quietly.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    std::wstring parameters;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        info.lpFile = platform::FileExplorer();
        parameters = platform::FileExplorerParameters(path);
        info.lpParameters = parameters.c_str();
    } else {
        info.lpFile = path.c_str();
    }
    ShellExecuteExW(&info);
}
