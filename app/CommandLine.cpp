#include "app/CommandLine.h"

#include <shellapi.h>

#include <cstddef>
#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/MainWindow.h"
#include "app/MenuHome.h"
#include "app/TryIcon.h"
#include "config/TreeEditor.h"
#include "menu/TodayMenu.h"
#include "platform/Console.h"
#include "platform/Files.h"
#include "res/resource.h"
#include "store/FileHome.h"
#include "store/RegHelper.h"
#include "store/StoreKeys.h"
#include "store/StoreWriter.h"
#include "store/TreeFile.h"
#include "store/TreeTransfer.h"

namespace {

const wchar_t kUsage[] =
    L"usage: tabula.exe /export FILE | tabula.exe /import FILE | tabula.exe /where (each after /portable, or alone)";

// The longest path handed over.
constexpr DWORD kLongestPath = 32767;
// How long an import by the running copy may take.
constexpr ULONGLONG kHandOverTimeoutMs = 60000;
// What the running copy keeps of that time to answer: once its new tree is written, the rest of its work is a rename.
constexpr ULONGLONG kAnswerMarginMs = 3000;
// How long a copy that holds the claim but has no window yet is waited for.
constexpr DWORD kStartingCopyWaitMs = 5000;

int Failed(int code, const std::wstring& message)
{
    platform::WriteErrorLine(L"tabula: " + message);
    return code;
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

HWND RunningWindow(HINSTANCE instance)
{
    return FindWindowW(LoadResourceString(instance, IDS_WINDOW_CLASS).c_str(),
                       LoadResourceString(instance, IDS_APP_TITLE).c_str());
}

// Whether a copy holds the claim of the one running copy, window or not.
bool ClaimIsHeld(HINSTANCE instance)
{
    const handles::unique_kernel_object claim(OpenMutexW(SYNCHRONIZE, FALSE, InstanceClaimName(instance).c_str()));
    return claim != nullptr;
}

// The running copy's window; a copy that holds the claim and is still making its window is waited for a while.
HWND FindRunningCopy(HINSTANCE instance)
{
    HWND window = RunningWindow(instance);
    for (DWORD waited = 0; !window && waited < kStartingCopyWaitMs && ClaimIsHeld(instance); waited += 100) {
        Sleep(100);
        window = RunningWindow(instance);
    }
    return window;
}

// Hands the file to the running copy; the exit code its answer means.
int HandOverTo(HWND running, const std::wstring& path)
{
    std::vector<BYTE> data(offsetof(HandOver, path) + (path.size() + 1) * sizeof(wchar_t));
    HandOver* handOver = reinterpret_cast<HandOver*>(data.data());
    handOver->deadline = GetTickCount64() + kHandOverTimeoutMs;
    path.copy(handOver->path, path.size());
    COPYDATASTRUCT copy{kHandOverData, static_cast<DWORD>(data.size()), data.data()};
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                                              SMTO_NORMAL, static_cast<UINT>(kHandOverTimeoutMs), &answer) != 0;
    if (!answered || (answer & ~DWORD_PTR{0xFFFF}) != static_cast<DWORD_PTR>(kHandOverAnswer))
        return Failed(kExitNoStore, L"The running Tabula did not take the menu; it stays as it was.");
    const int result = static_cast<int>(answer & 0xFFFF);
    return result == kExitDone ? kExitDone : Failed(result, ImportFailure(result, path));
}

// Reads and checks the file, then imports it through the running copy, or here while none runs or starts; the exit
// code.
int ImportFile(HINSTANCE instance, const std::wstring& path)
{
    std::wstring error;
    bool unreadable = false;
    const std::optional<store::TreeFile> file = store::ReadTreeFile(path, &error, &unreadable);
    if (!file)
        return Failed(unreadable ? kExitFileUnusable : kExitBadFile, error);
    {
        // Held from the look for a running copy to the end of the write: a copy that starts meanwhile loads the tree
        // after it, never before it to store the old one again at its exit.
        const store::StoreLock lock;
        if (!RunningWindow(instance) && !ClaimIsHeld(instance)) {
            g_StoreWriter.Backups().SetReport([](const std::wstring& text) { platform::WriteErrorLine(L"tabula: " + text); });
            if (const auto home = g_RegHelper.FileHome())
                home->SetReport([](const std::wstring& text) { platform::WriteErrorLine(L"tabula: " + text); });
            const SettingsContext settings{instance, &g_TodayMenu, &g_RegHelper, nullptr, nullptr, nullptr, &g_StoreWriter};
            return CTreeEditor(settings).Replace(*file) ? kExitDone
                                                        : Failed(kExitNoStore, ImportFailure(kExitNoStore, path));
        }
    }
    const HWND running = FindRunningCopy(instance);
    if (!running)
        return Failed(kExitNoStore, L"A Tabula that is starting did not answer; the menu stays as it was.");
    return HandOverTo(running, path);
}

int ExportFile(HINSTANCE instance, const std::wstring& path)
{
    // What the running copy still has to write is written first, so that the export holds every change made.
    if (const HWND running = RunningWindow(instance)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(running, StoreFlushMessage(), 0, 0, SMTO_NORMAL, static_cast<UINT>(kHandOverTimeoutMs),
                            &ignored);
    }
    const std::optional<std::string> text = store::ExportStoredTree(g_RegHelper, true);
    if (!text)
        return Failed(kExitNoStore, L"No menu is stored: there is nothing to export.");
    if (!platform::WriteWholeFile(path, *text))
        return Failed(kExitFileUnusable, L"Cannot write " + path + L".");
    return kExitDone;
}

bool IsVerbLike(const std::wstring& word) { return !word.empty() && (word[0] == L'/' || word[0] == L'-'); }

// The path a hand-over names, and the moment after which it is no longer waited for (0: an earlier version's, which
// names none); nothing for data that is no hand-over.
std::optional<std::pair<std::wstring, ULONGLONG>> ReadHandOver(const COPYDATASTRUCT* data)
{
    if (!data || !data->lpData)
        return std::nullopt;
    size_t header = 0;
    ULONGLONG deadline = 0;
    if (data->dwData == kHandOverData) {
        header = offsetof(HandOver, path);
        if (data->cbData < header)
            return std::nullopt;
        deadline = static_cast<const HandOver*>(data->lpData)->deadline;
    } else if (data->dwData != kImportFileData) {
        return std::nullopt;
    }
    const size_t bytes = data->cbData - header;
    if (bytes < sizeof(wchar_t) || bytes > (kLongestPath + 1) * sizeof(wchar_t))
        return std::nullopt;
    const auto* text = reinterpret_cast<const wchar_t*>(static_cast<const BYTE*>(data->lpData) + header);
    return std::pair{std::wstring(text, wcsnlen(text, bytes / sizeof(wchar_t))), deadline};
}

}  // namespace

std::optional<int> RunCommandLine(HINSTANCE instance, const wchar_t* commandLine)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(commandLine, &count);
    std::vector<std::wstring> words(arguments, arguments + (arguments ? count : 0));
    LocalFree(arguments);
    // "/portable" first says where the menu lives, for the verb that follows and for the run.
    const bool portable = words.size() > 1 && _wcsicmp(words[1].c_str(), L"/portable") == 0;
    if (portable)
        words.erase(words.begin() + 1);
    ChooseMenuHome(portable);
    const bool exporting = words.size() > 1 && _wcsicmp(words[1].c_str(), L"/export") == 0;
    const bool importing = words.size() > 1 && _wcsicmp(words[1].c_str(), L"/import") == 0;
    if (words.size() > 1 && _wcsicmp(words[1].c_str(), L"/where") == 0) {
        if (words.size() != 2)
            return Failed(kExitUsage, kUsage);
        platform::WriteOutputLine(g_RegHelper.Where());
        return kExitDone;
    }
    if (!exporting && !importing) {
        // A mistyped verb must not start the program, which a script would take for success.
        for (size_t i = 1; i < words.size(); ++i)
            if (IsVerbLike(words[i]))
                return Failed(kExitUsage, words[i] + L" is not a verb of tabula.exe. " + kUsage);
        return std::nullopt;
    }
    if (words.size() != 3 || words[2].empty())
        return Failed(kExitUsage, kUsage);
    const std::wstring path = FullPath(words[2]);
    return exporting ? ExportFile(instance, path) : ImportFile(instance, path);
}

LRESULT OnImportHandedOver(HWND mainWindow, const COPYDATASTRUCT* data)
{
    const auto handOver = ReadHandOver(data);
    const bool tagged = data && data->dwData == kHandOverData;
    const auto answer = [tagged](int code) { return tagged ? kHandOverAnswer | code : code; };
    if (!handOver)
        return answer(kExitUsage);
    const auto& [path, deadline] = *handOver;
    // Whether the copy that handed the file over still waits for the answer, with time to spare for the last steps.
    const auto waited = [deadline = deadline] { return !deadline || GetTickCount64() + kAnswerMarginMs < deadline; };
    if (!waited())
        return answer(kExitNoStore);
    std::wstring error;
    bool unreadable = false;
    const std::optional<store::TreeFile> file = store::ReadTreeFile(path, &error, &unreadable);
    if (!file)
        return answer(unreadable ? kExitFileUnusable : kExitBadFile);
    // The copy that waits hears as soon as the store holds the new tree, while the menu is built.
    const auto stored = [&answer] { ReplyMessage(answer(kExitDone)); };
    if (!CTreeEditor(ProgramSettings(mainWindow)).Replace(*file, waited, stored))
        return answer(kExitNoStore);
    const std::wstring told = L"The menu was replaced by the one in " + path +
                              L". Restore... on the Options tab of Configuration brings the old menu back.";
    g_TrayIcon.ShowBalloon(L"Tabula", told.c_str(), NIIF_INFO);
    return answer(kExitDone);
}
