#include "platform/Media.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <cwctype>
#include <mutex>

#include "platform/Handles.h"

namespace platform {
namespace media {

namespace {

constexpr size_t kCalls = static_cast<size_t>(Call::File) + 1;

// What the seam adds to each kind of call. Read by every worker, set by the tests' thread.
struct Seam {
    std::mutex lock;
    std::array<DWORD, kCalls> delays{};
    std::array<unsigned, kCalls> hung{};   // calls of each kind still to hang; UINT_MAX: all
    std::array<std::wstring, kCalls> hungMedium;   // the medium whose calls of each kind hang; empty: any
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);   // set when hung calls may return
};

Seam& TheSeam()
{
    static Seam* seam = new Seam;   // never destroyed: a hung worker may still wait on it at exit
    return *seam;
}

// Waits as the seam says before a call of this kind on a path; nothing at all in the program's own runs.
void Pass(Call call, const std::wstring& path)
{
    Seam& seam = TheSeam();
    DWORD delay = 0;
    HANDLE release = nullptr;
    {
        std::lock_guard<std::mutex> held(seam.lock);
        delay = seam.delays[static_cast<size_t>(call)];
        unsigned& hung = seam.hung[static_cast<size_t>(call)];
        const std::wstring& medium = seam.hungMedium[static_cast<size_t>(call)];
        if (hung && (medium.empty() || MediumOf(path) == medium)) {
            hung -= hung != UINT_MAX;
            release = seam.release;
        }
    }
    if (release)
        WaitForSingleObject(release, INFINITE);
    if (delay)
        Sleep(delay);
}

}  // namespace

std::wstring MediumOf(const std::wstring& path)
{
    // A long path's prefix is taken off: "\\?\UNC\server\share" is the share, "\\?\C:\" the drive.
    std::wstring rest = path;
    const struct { const wchar_t* prefix; const wchar_t* stands; } longForms[] = {{L"\\\\?\\UNC\\", L"\\\\"}, {L"\\\\?\\", L""}};
    for (const auto& form : longForms)
        if (rest.compare(0, wcslen(form.prefix), form.prefix) == 0) {
            rest = form.stands + rest.substr(wcslen(form.prefix));
            break;
        }
    std::wstring medium;
    if (rest.size() >= 2 && rest[1] == L':' && iswalpha(rest[0])) {
        medium = rest.substr(0, 2);
    } else if (rest.size() > 2 && (rest[0] == L'\\' || rest[0] == L'/') && rest[1] == rest[0]) {
        // The server and the share: up to the separator after the share's name.
        const size_t server = rest.find_first_of(L"\\/", 2);
        const size_t share = server == std::wstring::npos ? server : rest.find_first_of(L"\\/", server + 1);
        medium = rest.substr(0, share);
        std::replace(medium.begin(), medium.end(), L'/', L'\\');
    }
    std::transform(medium.begin(), medium.end(), medium.begin(), [](wchar_t c) { return static_cast<wchar_t>(towupper(c)); });
    return medium;
}

DWORD Attributes(const std::wstring& path)
{
    Pass(Call::Attributes, path);
    return GetFileAttributesW(path.c_str());
}

HICON ShellIcon(const std::wstring& path, DWORD attributes, UINT flags)
{
    Pass(Call::Icon, path);
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags | SHGFI_ICON))
        return nullptr;
    return info.hIcon;
}

HICON FileIcon(const std::wstring& file, int index, int cx, int cy)
{
    Pass(Call::Icon, file);
    HICON icon = nullptr;
    UINT id = 0;
    // Not a count of icons: none, or 0xFFFFFFFF for a file that cannot be read.
    const UINT extracted = PrivateExtractIconsW(file.c_str(), index, cx, cy, &icon, &id, 1, 0);
    return extracted == 1 ? icon : nullptr;
}

bool ListFolder(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& each)
{
    Pass(Call::Listing, folder);
    const std::wstring pattern = folder.empty() || folder.back() == L'\\' ? folder + L"*" : folder + L"\\*";
    WIN32_FIND_DATAW found;
    const HANDLE first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                          FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE)
        return false;
    const handles::unique_hfind search(first);
    do {
        if (wcscmp(found.cFileName, L".") != 0 && wcscmp(found.cFileName, L"..") != 0)
            each(found);
    } while (FindNextFileW(search.get(), &found));
    return true;
}

bool Execute(SHELLEXECUTEINFOW& info)
{
    Pass(Call::Launch, info.lpFile ? info.lpFile : L"");
    return ShellExecuteExW(&info) != FALSE;
}

LONG FlushKey(HKEY key)
{
    Pass(Call::Store, L"");
    return RegFlushKey(key);
}

FileRead ReadFile(const std::wstring& path, size_t maxBytes, std::string* bytes)
{
    Pass(Call::File, path);
    return ReadWholeFile(path, maxBytes, bytes);
}

bool WriteFile(const std::wstring& path, const std::string& bytes, DWORD* error)
{
    Pass(Call::File, path);
    return WriteWholeFile(path, bytes, error);
}

namespace slow {

void Delay(Call call, DWORD ms)
{
    std::lock_guard<std::mutex> held(TheSeam().lock);
    TheSeam().delays[static_cast<size_t>(call)] = ms;
}

void Hang(Call call, unsigned calls, const std::wstring& medium)
{
    std::lock_guard<std::mutex> held(TheSeam().lock);
    TheSeam().hung[static_cast<size_t>(call)] = calls;
    TheSeam().hungMedium[static_cast<size_t>(call)] = medium;
}

void Reset()
{
    Seam& seam = TheSeam();
    std::lock_guard<std::mutex> held(seam.lock);
    seam.delays = {};
    seam.hung = {};
    seam.hungMedium = {};
    // The calls hung so far return; later hangs wait on a new event. The old one stays open for late waiters.
    SetEvent(seam.release);
    seam.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace slow

}  // namespace media
}  // namespace platform
