#include "platform/Media.h"

#include <array>
#include <mutex>

#include "platform/Handles.h"

namespace platform {
namespace media {

namespace {

// What the seam adds to each kind of call. Read by every worker, set by the tests' thread.
struct Seam {
    std::mutex lock;
    std::array<DWORD, 5> delays{};
    std::array<unsigned, 5> hung{};   // calls of each kind still to hang; UINT_MAX: all
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);   // set when hung calls may return
};

Seam& TheSeam()
{
    static Seam* seam = new Seam;   // never destroyed: a hung worker may still wait on it at exit
    return *seam;
}

// Waits as the seam says before a call of this kind; nothing at all in the program's own runs.
void Pass(Call call)
{
    Seam& seam = TheSeam();
    DWORD delay = 0;
    HANDLE release = nullptr;
    {
        std::lock_guard<std::mutex> held(seam.lock);
        delay = seam.delays[static_cast<size_t>(call)];
        unsigned& hung = seam.hung[static_cast<size_t>(call)];
        if (hung) {
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

DWORD Attributes(const std::wstring& path)
{
    Pass(Call::Attributes);
    return GetFileAttributesW(path.c_str());
}

HICON ShellIcon(const std::wstring& path, DWORD attributes, UINT flags)
{
    Pass(Call::Icon);
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags | SHGFI_ICON))
        return nullptr;
    return info.hIcon;
}

bool ListFolder(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& each)
{
    Pass(Call::Listing);
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
    Pass(Call::Launch);
    return ShellExecuteExW(&info) != FALSE;
}

LONG FlushKey(HKEY key)
{
    Pass(Call::Store);
    return RegFlushKey(key);
}

namespace slow {

void Delay(Call call, DWORD ms)
{
    std::lock_guard<std::mutex> held(TheSeam().lock);
    TheSeam().delays[static_cast<size_t>(call)] = ms;
}

void Hang(Call call, unsigned calls)
{
    std::lock_guard<std::mutex> held(TheSeam().lock);
    TheSeam().hung[static_cast<size_t>(call)] = calls;
}

void Reset()
{
    Seam& seam = TheSeam();
    std::lock_guard<std::mutex> held(seam.lock);
    seam.delays = {};
    seam.hung = {};
    // The calls hung so far return; later hangs wait on a new event. The old one stays open for late waiters.
    SetEvent(seam.release);
    seam.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

}  // namespace slow

}  // namespace media
}  // namespace platform
