#include "menu/FolderReader.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

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
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return listing;
    listing.readable = true;
    do {
        const std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & kLeftOut) || name == L"." || name == L"..")
            continue;
        (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? listing.folders : listing.files).push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return listing;
}

void SortListing(FolderListing& listing, size_t count)
{
    SortFirst(listing.folders, count);
    SortFirst(listing.files, count - std::min(count, listing.folders.size()));
}
