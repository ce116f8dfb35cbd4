#include "app/CommandLine.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/Hotkey.h"
#include "config/MenuFiles.h"
#include "config/SettingsContext.h"
#include "menu/TodayMenu.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "res/resource.h"
#include "store/RegHelper.h"
#include "store/TreeFile.h"
#include "store/TreeTransfer.h"

namespace {

// The longest path handed over.
constexpr DWORD kLongestPath = 32767;
// How long an import by the running copy may take.
constexpr UINT kHandOverTimeoutMs = 60000;

int Failed(int code, const std::wstring& message)
{
    platform::WriteErrorLine(L"tabula: " + message);
    return code;
}

std::wstring ResourceString(HINSTANCE instance, UINT id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::wstring FullPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size ? GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0;
    return length > 0 && length < size ? full.substr(0, length) : path;
}

// What a failed import's code means, for the line the command line prints.
std::wstring ImportFailure(int code, const std::wstring& path)
{
    switch (code) {
    case kExitBadFile: return L"Not a Tabula menu file: " + path;
    case kExitFileUnusable: return L"Cannot read " + path + L".";
    default: return L"The menu could not be stored; it stays as it was.";
    }
}

// Reads and checks the file, then imports it here or through the running copy; the exit code.
int ImportFile(HINSTANCE instance, const std::wstring& path)
{
    std::wstring error;
    bool unreadable = false;
    const std::optional<store::TreeFile> file = store::ReadTreeFile(path, &error, &unreadable);
    if (!file)
        return Failed(unreadable ? kExitFileUnusable : kExitBadFile, error);
    const std::wstring windowClass = ResourceString(instance, IDS_WINDOW_CLASS);
    const HWND running = FindWindowW(windowClass.c_str(), ResourceString(instance, IDS_APP_TITLE).c_str());
    if (running) {
        COPYDATASTRUCT data{kImportFileData, static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)),
                            const_cast<wchar_t*>(path.c_str())};
        DWORD_PTR code = kExitNoStore;
        if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                                 kHandOverTimeoutMs, &code))
            return Failed(kExitNoStore, L"The running Tabula did not take the menu.");
        const int result = static_cast<int>(code);
        return result == kExitDone ? kExitDone : Failed(result, ImportFailure(result, path));
    }
    g_RegHelper.Backups.SetReport([](const std::wstring& text) { platform::WriteErrorLine(L"tabula: " + text); });
    const SettingsContext settings{instance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr};
    return ApplyImportedTree(settings, *file) ? kExitDone : Failed(kExitNoStore, ImportFailure(kExitNoStore, path));
}

int ExportFile(const std::wstring& path)
{
    const std::optional<std::string> text = store::ExportStoredTree(g_RegHelper, true);
    if (!text)
        return Failed(kExitNoStore, L"No menu is stored: there is nothing to export.");
    if (!platform::WriteWholeFile(path, *text))
        return Failed(kExitFileUnusable, L"Cannot write " + path + L".");
    return kExitDone;
}

}  // namespace

std::optional<int> RunCommandLine(HINSTANCE instance, const wchar_t* commandLine)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    const std::vector<std::wstring> words(arguments, arguments + (arguments ? count : 0));
    LocalFree(arguments);
    const bool exporting = words.size() > 1 && _wcsicmp(words[1].c_str(), L"/export") == 0;
    const bool importing = words.size() > 1 && _wcsicmp(words[1].c_str(), L"/import") == 0;
    if (!exporting && !importing)
        return std::nullopt;
    if (words.size() != 3 || words[2].empty())
        return Failed(kExitUsage, L"usage: tabula.exe /export FILE | tabula.exe /import FILE");
    const std::wstring path = FullPath(words[2]);
    return exporting ? ExportFile(path) : ImportFile(instance, path);
}

LRESULT OnImportHandedOver(HWND mainWindow, const COPYDATASTRUCT* data)
{
    if (!data || data->dwData != kImportFileData || !data->lpData || data->cbData < sizeof(wchar_t) ||
        data->cbData > (kLongestPath + 1) * sizeof(wchar_t))
        return kExitUsage;
    const wchar_t* text = static_cast<const wchar_t*>(data->lpData);
    const std::wstring path(text, wcsnlen(text, data->cbData / sizeof(wchar_t)));
    std::wstring error;
    bool unreadable = false;
    const std::optional<store::TreeFile> file = store::ReadTreeFile(path, &error, &unreadable);
    if (!file)
        return unreadable ? kExitFileUnusable : kExitBadFile;
    // An open menu shows the tree that is about to go.
    EndMenu();
    SettingsContext settings{g_hInstance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr};
    settings.changeHotkey = [mainWindow](WORD hotkey) { return ClaimHotkey(mainWindow, hotkey); };
    return ApplyImportedTree(settings, *file) ? kExitDone : kExitNoStore;
}
