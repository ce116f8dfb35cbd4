// Launching documents: folders open in the file explorer, files through the shell.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "TestTree.h"
#include "menu/TodayMenu.h"

namespace {

struct Found {
    const wchar_t* className;
    std::wstring titlePart;
    HWND window = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* found = reinterpret_cast<Found*>(param);
    wchar_t cls[128] = {}, title[512] = {};
    GetClassNameW(window, cls, 128);
    GetWindowTextW(window, title, 512);
    if (IsWindowVisible(window) && wcscmp(cls, found->className) == 0 &&
        std::wstring(title).find(found->titlePart) != std::wstring::npos) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for a visible top-level window of a class whose title holds a text; null after the timeout.
HWND WaitForWindow(const wchar_t* className, const std::wstring& titlePart, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        Found found{className, titlePart};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window)
            return found.window;
        Sleep(100);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

void CloseAndWait(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

std::wstring TempFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

TEST(Launch, FoldersAndTheDeviceDocumentsFolderOpenInTheFileExplorer)
{
    const std::wstring folder = TempFolder(L"Tabula launch folder");
    CTodayMenu menu;
    testtree::BuildDefaults(menu);
    menu.Launch(menu.AppendDocument(folder, 0));
    HWND explorer = WaitForWindow(L"ExplorerWClass", L"Tabula launch folder", 10000);
    ASSERT_NE(explorer, nullptr) << "no explorer window for the folder";
    CloseAndWait(explorer);

    // The device's "\\My Documents" entry (id 1) opens the user's documents folder.
    wchar_t documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, documents)));
    const std::wstring name = wcsrchr(documents, L'\\') + 1;
    menu.Launch(1);
    explorer = WaitForWindow(L"ExplorerWClass", name, 10000);
    ASSERT_NE(explorer, nullptr) << "no explorer window for " << std::string(name.begin(), name.end());
    CloseAndWait(explorer);
}

TEST(Launch, TextFileOpensInItsHandler)
{
    const std::wstring file = TempFolder(L"Tabula launch files") + L"\\launch note.txt";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "hello", 5, &written, nullptr);
    CloseHandle(h);

    CTodayMenu menu;
    const int id = menu.AppendDocument(file, 0);
    menu.Launch(id);
    HWND notepad = WaitForWindow(L"Notepad", L"launch note", 10000);
    ASSERT_NE(notepad, nullptr) << "the text file did not open";
    CloseAndWait(notepad);
    EXPECT_EQ(WaitForWindow(L"ExplorerWClass", L"Tabula launch files", 300), nullptr);
}

TEST(Launch, UnreadablePathGoesToTheShellAsAFileAndFailsQuietly)
{
    CTodayMenu menu;
    const int id = menu.AppendDocument(L"C:\\no such folder\\Tabula missing", 0);
    menu.Launch(id);
    EXPECT_EQ(WaitForWindow(L"ExplorerWClass", L"", 2000), nullptr) << "no explorer window of any folder";
    EXPECT_EQ(WaitForWindow(L"#32770", L"", 500), nullptr) << "no error box appears";
    menu.Launch(999);   // no such entry: nothing happens
}

}  // namespace
