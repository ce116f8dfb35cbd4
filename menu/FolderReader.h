#pragma once
// Reading a folder for its live menu: what it holds, and the first part of it in the order of the shell's file lists.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Worker.h"

// One folder's contents: the names of its sub-folders and of its files, hidden and system ones left out.
struct FolderListing {
    bool readable = false;   // false when the folder is missing or cannot be read
    std::wstring folder;     // the path read
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};

// Reads through platform/Media, so it waits as long as the medium takes.
FolderListing ReadFolder(const std::wstring& folder);

// Brings the first `count` entries (sub-folders before files) into the order of the shell's file lists; the others
// stay behind them in no order.
void SortListing(FolderListing& listing, size_t count);

// The path of a name in a folder, with one "\" between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// A read of a folder, as stored, on a worker thread: the folder is resolved, read and sorted for its first `count`
// entries there. The worker and the read's holder share it, so a holder may go first: the listing is then dropped.
class CFolderRead {
public:
    CFolderRead();
    ~CFolderRead();
    CFolderRead(const CFolderRead&) = delete;
    CFolderRead& operator=(const CFolderRead&) = delete;

    static std::shared_ptr<CFolderRead> Start(platform::CWorkerPool& pool, const std::wstring& folder, size_t count);
    // Waits at most ms for the read to end; true, with its listing moved into *listing, when it has.
    bool Wait(DWORD ms, FolderListing* listing);

private:
    FolderListing listing_;   // the worker's until done_ is set
    HANDLE done_;
};
