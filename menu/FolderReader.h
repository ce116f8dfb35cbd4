#pragma once
// Reading a folder for its live menu: what it holds, and the first part of it in the order of the shell's file lists.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Handles.h"
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

// A read of a folder on a worker thread (CFolderReaders): the worker and the read's holders share it, so a holder may go
// first and the listing is then dropped.
class CFolderRead {
public:
    CFolderRead();
    CFolderRead(const CFolderRead&) = delete;
    CFolderRead& operator=(const CFolderRead&) = delete;

    // Waits at most ms for the read to end; true when it has.
    bool Wait(DWORD ms) const;
    // What the read found, once it has ended.
    const FolderListing& Listing() const { return listing_; }
    // Whether it left the queue before it started: it never ends.
    bool Withdrawn() const { return withdrawn_; }

private:
    friend class CFolderReaders;
    void Finish(FolderListing listing);

    FolderListing listing_;   // the worker's until done_ is set
    handles::unique_kernel_object done_;
    platform::CWorkerPool::Ticket ticket_ = 0;
    bool withdrawn_ = false;
};

// The reads of the live folders, on workers of their own. A folder whose read is still going on is not read again:
// every opening of it shares that read until it ends. The GUI thread's.
class CFolderReaders {
public:
    CFolderReaders();
    CFolderReaders(const CFolderReaders&) = delete;
    CFolderReaders& operator=(const CFolderReaders&) = delete;

    // The read of the folder (as stored: "\My Documents" resolved there) that is going on, or a new one, resolved, read
    // and sorted for its first count entries on a worker. A folder on a medium given up on is read at once as one that
    // cannot be read.
    std::shared_ptr<CFolderRead> Read(const std::wstring& folder, size_t count);
    // Takes a read that has not started out of the queue (the menu that asked for it closed); false when it runs or ran.
    bool Withdraw(const std::shared_ptr<CFolderRead>& read);

    // The workers, which other short calls on the disk share (whether paths are there).
    platform::CWorkerPool& Workers() { return pool_; }

private:
    platform::CWorkerPool pool_;
    std::map<std::wstring, std::shared_ptr<CFolderRead>> reading_;   // by folder as stored, until their reads end
};
