#include "platform/Console.h"

#include <windows.h>

#include "platform/Handles.h"

namespace platform {

namespace {

// The parent's console, once this process is attached to it (a second attach fails as already done).
handles::unique_hfile ParentConsole()
{
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return handles::unique_hfile(nullptr);
    return handles::unique_hfile(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
}

void WriteLine(DWORD stream, const std::wstring& line)
{
    const HANDLE given = GetStdHandle(stream);
    const handles::unique_hfile console = given && given != INVALID_HANDLE_VALUE ? handles::unique_hfile(nullptr)
                                                                                   : ParentConsole();
    const HANDLE output = console ? console.get() : given;
    if (!output || output == INVALID_HANDLE_VALUE)
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

}  // namespace

void WriteErrorLine(const std::wstring& line) { WriteLine(STD_ERROR_HANDLE, line); }

void WriteOutputLine(const std::wstring& line) { WriteLine(STD_OUTPUT_HANDLE, line); }

}  // namespace platform
