#pragma once
// Reading a folder for its live menu: what it holds, and the first part of it in the order of the shell's file lists.
#include <string>
#include <vector>

// One folder's contents: the names of its sub-folders and of its files, hidden and system ones left out.
struct FolderListing {
    bool readable = false;   // false when the folder is missing or cannot be read
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};

FolderListing ReadFolder(const std::wstring& folder);

// Brings the first `count` entries (sub-folders before files) into the order of the shell's file lists; the others
// stay behind them in no order.
void SortListing(FolderListing& listing, size_t count);

// The path of a name in a folder, with one "\" between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
