// A program that the launch tests open as a document: it writes how it was started, its command line, its current
// folder and the window state asked of it (-1 for none), one a line, to the file that TABULA_PROBE_FILE names.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    wchar_t folder[MAX_PATH] = {}, file[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    if (!GetEnvironmentVariableW(L"TABULA_PROBE_FILE", file, MAX_PATH))
        return 1;
    const std::wstring text = GetCommandLineW() + std::wstring(L"\n") + folder + L"\n" +
                              std::to_wstring(startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1);
    // Written whole under another name first: the file appears complete.
    const std::wstring part = file + std::wstring(L".part");
    const HANDLE out = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), DWORD(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(out);
    return !MoveFileExW(part.c_str(), file, MOVEFILE_REPLACE_EXISTING);
}
