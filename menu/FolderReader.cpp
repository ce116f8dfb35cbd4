#include "menu/FolderReader.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "platform/Media.h"
#include "platform/Shell.h"

namespace {

// Folders are read side by side, so that a medium that never answers holds up few of the others; a read that takes
// five seconds, longer than a sleeping drive takes to wake, gives its thread up.
constexpr platform::CWorkerPool::Limits kReaders{4, 5000, 8};
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

bool CFolderRead::Wait(DWORD ms) const { return done_ && WaitForSingleObject(done_.get(), ms) == WAIT_OBJECT_0; }

void CFolderRead::Finish(FolderListing listing)
{
    listing_ = std::move(listing);
    SetEvent(done_.get());
}

CFolderReaders::CFolderReaders() : pool_(kReaders) {}

std::shared_ptr<CFolderRead> CFolderReaders::Read(const std::wstring& folder, size_t count)
{
    // The reads that ended are let go: what is kept is bounded by the reads going on.
    for (auto read = reading_.begin(); read != reading_.end();)
        read = read->second->Wait(0) ? reading_.erase(read) : std::next(read);
    if (const auto going = reading_.find(folder); going != reading_.end())
        return going->second;
    auto read = std::make_shared<CFolderRead>();
    const std::wstring resolved = platform::ResolveDevicePath(folder);
    platform::Job job{platform::media::MediumOf(resolved), nullptr, nullptr};
    job.work = [read, resolved, count] {
        FolderListing listing = ReadFolder(resolved);
        SortListing(listing, count);
        read->Finish(std::move(listing));
    };
    job.unavailable = [read, resolved] { read->Finish({false, resolved, {}, {}}); };
    read->ticket_ = pool_.Run(std::move(job));
    if (read->ticket_)
        reading_.emplace(folder, read);
    return read;
}

bool CFolderReaders::Withdraw(const std::shared_ptr<CFolderRead>& read)
{
    if (!read->ticket_ || !pool_.Withdraw(read->ticket_))
        return false;
    read->withdrawn_ = true;
    for (auto going = reading_.begin(); going != reading_.end(); ++going)
        if (going->second == read) {
            reading_.erase(going);
            break;
        }
    return true;
}
