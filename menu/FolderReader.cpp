#include "menu/FolderReader.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "platform/Media.h"
#include "platform/Shell.h"

namespace {

constexpr DWORD kLeftOut = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// The first count names in the shell's order, found without sorting the whole folder.
void SortFirst(std::vector<std::wstring>& names, size_t count)
{
    const auto before = [](const std::wstring& a, const std::wstring& b) {
        return StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
    };
    count = std::min(count, names.size());
    if (count < names.size())
        std::nth_element(names.begin(), names.begin() + count, names.end(), before);
    std::sort(names.begin(), names.begin() + count, before);
}

}  // namespace

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

FolderListing ReadFolder(const std::wstring& folder)
{
    FolderListing listing;
    listing.folder = folder;
    listing.readable = platform::media::ListFolder(folder, [&listing](const WIN32_FIND_DATAW& found) {
        if (found.dwFileAttributes & kLeftOut)
            return;
        auto& names = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? listing.folders : listing.files;
        names.push_back(found.cFileName);
    });
    return listing;
}

void SortListing(FolderListing& listing, size_t count)
{
    SortFirst(listing.folders, count);
    SortFirst(listing.files, count - std::min(count, listing.folders.size()));
}

CFolderRead::CFolderRead() : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CFolderRead::~CFolderRead()
{
    if (done_)
        CloseHandle(done_);
}

std::shared_ptr<CFolderRead> CFolderRead::Start(platform::CWorkerPool& pool, const std::wstring& folder, size_t count)
{
    auto read = std::make_shared<CFolderRead>();
    pool.Run([read, folder, count] {
        read->listing_ = ReadFolder(platform::ResolveDevicePath(folder));
        SortListing(read->listing_, count);
        SetEvent(read->done_);
    });
    return read;
}

bool CFolderRead::Wait(DWORD ms, FolderListing* listing)
{
    if (!done_ || WaitForSingleObject(done_, ms) != WAIT_OBJECT_0)
        return false;
    *listing = std::move(listing_);
    return true;
}
