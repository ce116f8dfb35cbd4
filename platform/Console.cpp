#include "platform/Console.h"

#include <windows.h>

namespace platform {

namespace {

// The standard error that the program was started with, or its parent's console; null when there is neither.
HANDLE ErrorOutput()
{
    const HANDLE given = GetStdHandle(STD_ERROR_HANDLE);
    if (given && given != INVALID_HANDLE_VALUE)
        return given;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return nullptr;
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    return console == INVALID_HANDLE_VALUE ? nullptr : console;
}

}  // namespace

void WriteErrorLine(const std::wstring& line)
{
    static const HANDLE output = ErrorOutput();
    if (!output)
        return;
    const std::wstring text = line + L"\r\n";
    DWORD written = 0;
    // A console takes the text as it is; a file or a pipe gets it as UTF-8.
    if (DWORD mode = 0; GetConsoleMode(output, &mode)) {
        WriteConsoleW(output, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace platform
