#include "platform/Files.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>

#include "platform/Handles.h"

namespace platform {

namespace {

// The step before which the seam ends the process; 0: none.
std::atomic<int> g_endBefore{0};
UINT g_endCode = 0;

void Step(SaveStep step)
{
    if (g_endBefore.load() == static_cast<int>(step))
        TerminateProcess(GetCurrentProcess(), g_endCode);
}

// WriteFile takes at most a DWORD at a time.
constexpr DWORD kChunk = 1 << 20;

bool WriteAll(HANDLE file, const std::string& bytes)
{
    Step(SaveStep::Write);
    for (size_t done = 0; done < bytes.size();) {
        const DWORD size = static_cast<DWORD>(std::min<size_t>(kChunk, bytes.size() - done));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, size, &written, nullptr) || written != size)
            return false;
        done += written;
    }
    Step(SaveStep::Flush);
    return FlushFileBuffers(file) != FALSE;
}

}  // namespace

FileRead ReadWholeFile(const std::wstring& path, size_t maxBytes, std::string* bytes)
{
    const handles::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
        return FileRead::Unreadable;
    if (static_cast<ULONGLONG>(size.QuadPart) > maxBytes)
        return FileRead::TooLarge;
    bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
    for (size_t done = 0; done < bytes->size();) {
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(kChunk, bytes->size() - done));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes->data() + done, wanted, &read, nullptr))
            return FileRead::Unreadable;
        if (read == 0) {   // the file shrank while it was read
            bytes->resize(done);
            break;
        }
        done += read;
    }
    return FileRead::Read;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD* error)
{
    const std::wstring beside = path + L".new";
    // A read-only file keeps its content: Windows refuses to replace it on its own, Wine replaces it, so it is asked
    // first (on Windows the answer is the one the replacement would give).
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        if (error)
            *error = ERROR_ACCESS_DENIED;
        return false;
    }
    bool written = false;
    {
        Step(SaveStep::Create);
        handles::unique_hfile file(
            CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && WriteAll(file.get(), bytes);
        Step(SaveStep::Close);
    }
    if (written) {
        Step(SaveStep::Replace);
        written = MoveFileExW(beside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    if (written) {
        Step(SaveStep::Done);
        return true;
    }
    if (error)
        *error = GetLastError();
    DeleteFileW(beside.c_str());
    return false;
}

namespace files::faults {

void TerminateBefore(SaveStep step, UINT exitCode)
{
    g_endCode = exitCode;
    g_endBefore = static_cast<int>(step);
}

void Reset() { g_endBefore = 0; }

}  // namespace files::faults

bool MakeFolders(const std::wstring& folder)
{
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> FileNames(const std::wstring& folder, const std::wstring& pattern)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    const handles::unique_hfind owned(search);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    return names;
}

bool RemoveFile(const std::wstring& path) { return DeleteFileW(path.c_str()) != FALSE; }

}  // namespace platform
