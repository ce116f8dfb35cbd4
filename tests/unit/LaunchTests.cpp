#include <fstream>

#include "AppTesting.h"
#include "MenuTesting.h"
#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/TryIcon.h"
#include "menu/Launcher.h"
#include "platform/Files.h"
#include "platform/Media.h"
#include "platform/Shell.h"

// Folders open in the file explorer, files in their handler; a path that cannot be opened fails without a word.
TEST(Launch, OpensFoldersInTheFileExplorerAndFilesInTheirHandler)
{
    wchar_t documents[MAX_PATH] = {}, temp[MAX_PATH] = {};
    ASSERT_TRUE(GetTempPathW(MAX_PATH, temp));
    ASSERT_HRESULT_SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents));
    const std::wstring folder = temp + std::wstring(L"Tabula launch, folder"), note = folder + L"\\launch note.txt";
    const std::wstring foreign = temp + std::wstring(L"Tabula \x00FCn\x00EF \x6587\x66F8"), deep = temp + std::wstring(190, L'd');
    for (const std::wstring& made : {folder, foreign, deep, deep + L"\\Tabula deep"})
        CreateDirectoryW(made.c_str(), nullptr);
    CloseHandle(CreateFileW(note.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    SetEnvironmentVariableW(L"TABULA_DEVICE", L"\\My Documents");   // the shell would expand it, but not map it
    const struct { std::wstring path; const wchar_t* windowClass; std::wstring title; } cases[] = {
        {folder, L"ExplorerWClass", L"Tabula launch, folder"}, {folder + L"\\", L"ExplorerWClass", L"Tabula launch, folder"},
        {L"%TABULA_DEVICE%", L"ExplorerWClass", wcsrchr(documents, L'\\') + 1},
        {foreign, L"ExplorerWClass", L"Tabula \x00FCn\x00EF \x6587\x66F8"}, {deep + L"\\Tabula deep", L"ExplorerWClass", L"Tabula deep"},
        {L"\\My Documents", L"ExplorerWClass", wcsrchr(documents, L'\\') + 1}, {note, L"Notepad", L"launch note"},
        {L"C:\\no such folder\\Tabula missing", nullptr, L""}, {L"C:\\" + std::wstring(MAX_PATH - 3, L'x'), nullptr, L""},
        {L"C:\\" + std::wstring(1000, L'x') + L"\\y.txt", nullptr, L""},
    };
    // A start folder as long as the shell's path buffers is refused as such a path is.
    EXPECT_EQ(OpeningOf(LaunchRequest{folder, L"", L"C:\\" + std::wstring(MAX_PATH - 3, L'x')}).file, L"");
    EXPECT_EQ(OpeningOf(LaunchRequest{note, L"", L"C:\\" + std::wstring(MAX_PATH - 4, L'x')}).file, note);
    // The explorer's command line carries each folder as one argument, trailing backslashes and commas kept.
    for (const std::wstring& path : {folder + L"\\", std::wstring(L"C:\\"), std::wstring(L"C:\\a, b\\\\")}) {
        int count = 0;
        LPWSTR* args = CommandLineToArgvW((L"explorer.exe " + platform::FileExplorerParameters(path)).c_str(), &count);
        EXPECT_EQ(std::vector<std::wstring>(args + 1, args + count), std::vector<std::wstring>{path}), LocalFree(args);
    }
    // Only a folder goes to the file explorer: a path whose attributes cannot be read goes to the shell as a file.
    const std::wstring missing = temp + std::wstring(L"Tabula missing.txt");
    for (const auto& [path, file] : {std::pair(folder, std::wstring(platform::FileExplorer())), {note, note}, {missing, missing}})
        EXPECT_EQ(OpeningOf(path).file, file) << path;
    for (const auto& c : cases) {
        CTodayMenu menu(&g_Services);
        // Only a window that the launch opened counts: one of an earlier case may still be closing.
        const std::vector<HWND> before = apptest::TopWindows();
        menu.Launch(menu.AppendDocument(c.path, 0));
        HWND opened = nullptr;
        apptest::WaitFor(c.windowClass ? 10000 : 2000, [&] {
            opened = apptest::FindWindowWith(c.windowClass ? c.windowClass : L"ExplorerWClass", c.title, 0, before);
            return opened || apptest::FindWindowWith(L"#32770", L"", 0, before);
        });
        EXPECT_EQ(opened != nullptr, c.windowClass != nullptr) << c.path;
        EXPECT_EQ(apptest::FindWindowWith(L"#32770", L""), nullptr) << "no error box for " << c.path;
        DWORD process = 0;
        GetWindowThreadProcessId(opened, &process);
        const HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, process);
        PostMessageW(opened, WM_CLOSE, 0, 0);
        if (handle) WaitForSingleObject(handle, 5000), CloseHandle(handle);
    }
}


// A document opens with its arguments (spaces, quotes and variables as a shell passes them), in its start folder and
// in its window state; without them, as it always has.
TEST(Launch, PassesArgumentsStartFolderAndWindowState)
{
    wchar_t temp[MAX_PATH] = {}, here[MAX_PATH] = {}, probe[MAX_PATH] = {}, documents[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp), GetCurrentDirectoryW(MAX_PATH, here), GetFullPathNameW(L"Z:" TABULA_PROBE, MAX_PATH, probe, nullptr);
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents);
    const std::wstring out = temp + std::wstring(L"tabula probe.txt"), folder = temp + std::wstring(L"Tabula start in"),
                       typed = temp + std::wstring(L"a.tabulaprobe"), command = L"\"" + std::wstring(probe) + L"\" verb \"%1\"";
    CreateDirectoryW(folder.c_str(), nullptr), CloseHandle(CreateFileW(typed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    // A file type whose only verb opens the probe: the document's verb reaches the shell.
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".tabulaprobe", nullptr, REG_SZ, L"TabulaProbe", 24);
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"TabulaProbe\\shell\\probe\\command", nullptr, REG_SZ, command.c_str(), DWORD(command.size() * 2 + 2));
    SetEnvironmentVariableW(L"TABULA_PROBE_FILE", out.c_str()), SetEnvironmentVariableW(L"TABULA_START", folder.c_str());
    const struct { std::wstring path; DocumentProperties properties; std::wstring arguments, folder; int show; } rows[] = {
        {probe, {}, L"", here, SW_SHOW}, {typed, {{}, {}, {}, L"probe"}, L" verb \"" + typed + L"\"", here, SW_SHOW},
        {probe, {L"-a \"b c\" \"\"\"d\"\"\" e\\", folder, DWORD(SW_SHOWMAXIMIZED)}, L" -a \"b c\" \"\"\"d\"\"\" e\\", folder, SW_SHOWMAXIMIZED},
        {probe, {L"%TABULA_START%", L"\\My Documents", DWORD(SW_SHOWMINNOACTIVE)}, L" " + folder, documents, SW_SHOWMINNOACTIVE},
        {probe, {std::nullopt, std::nullopt, DWORD(SW_SHOWNORMAL), L"runas"}, L"", here, SW_SHOWNORMAL},
    };
    for (const auto& row : rows) {
        CTodayMenu menu(&g_Services);
        const int id = menu.AppendDocument(row.path, 0);
        DeleteFileW(out.c_str()), menu.ChangeDocument(id, row.path, row.properties), menu.Launch(id);
        std::string text;
        ASSERT_TRUE(apptest::WaitFor(10000, [&] { return platform::ReadWholeFile(out, 1 << 16, &text) == platform::FileRead::Read; })) << &row - rows;
        const std::wstring lines(reinterpret_cast<const wchar_t*>(text.data()), text.size() / sizeof(wchar_t));
        EXPECT_EQ(lines, L"\"" + std::wstring(probe) + L"\"" + row.arguments + L"\n" + row.folder + L"\n" + std::to_wstring(row.show));
    }
}

// A launch that never returns holds up neither a tap on the icon nor the next launch.
TEST(Launch, AStuckLaunchHoldsUpNothing)
{
    RegisterMainWindowClass(g_hInstance, L"TabulaLaunch");
    const HWND window = CreateWindowExW(0, L"TabulaLaunch", L"", 0, 0, 0, 0, 0, nullptr, nullptr, g_hInstance, nullptr);
    const std::wstring script = std::wstring(_wgetenv(L"TEMP")) + L"\\launched.cmd";
    for (const bool stuck : {true, false}) {
        if (stuck)
            platform::media::slow::Hang(platform::media::Call::Launch, 1);
        g_TodayMenu.Launch(g_TodayMenu.AppendDocument(L"C:\\no such folder\\Tabula stuck.txt", 0));
        apptest::Watch tapped([] { return apptest::VisibleMenuWindow() && EndMenu(); });
        SendMessageW(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
        EXPECT_TRUE(tapped.done()) << stuck;
        std::ofstream(script.c_str()) << "del %0\n";   // a document that deletes itself when opened
        ASSERT_NE(GetFileAttributesW(script.c_str()), INVALID_FILE_ATTRIBUTES);
        g_TodayMenu.Launch(g_TodayMenu.AppendDocument(script, 0));
        EXPECT_TRUE(apptest::WaitFor(10000, [&] { return GetFileAttributesW(script.c_str()) == INVALID_FILE_ATTRIBUTES; })) << stuck;
    }
    menutest::Reset(g_TodayMenu), DestroyWindow(window);
}
