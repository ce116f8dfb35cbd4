#pragma once
// The file system and the shell as the menu reaches them: a path's attributes, its icon, a folder's listing and a
// launch, and the store's flush to the disk. Each may block as long as its medium takes (a sleeping drive, an offline share, a card), so the menu calls
// them from worker threads only. They all go through this one place, where tests and benchmarks can make them slow;
// the program itself never does.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "platform/Files.h"

namespace platform {
namespace media {

// The medium that a path's calls go to, as a worker pool tells media apart: its drive ("C:") or its share
// ("\\SERVER\SHARE"), upper-case; empty for a path without either (a bare name). Reads no disk.
std::wstring MediumOf(const std::wstring& path);

// GetFileAttributesW; INVALID_FILE_ATTRIBUTES with the thread's last error as the call left it.
DWORD Attributes(const std::wstring& path);
// SHGetFileInfoW's icon for the path with these flags (SHGFI_ICON is added); the caller destroys it. With
// SHGFI_USEFILEATTRIBUTES the shell looks at the name and the attributes given only, not at the disk.
HICON ShellIcon(const std::wstring& path, DWORD attributes, UINT flags);
// The icon at index of a file (a negative index is a resource id) at cx x cy, or none; the caller destroys it.
HICON FileIcon(const std::wstring& file, int index, int cx, int cy);
// Calls each for every entry of the folder but "." and ".."; false when the folder cannot be read.
bool ListFolder(const std::wstring& folder, const std::function<void(const WIN32_FIND_DATAW&)>& each);
// ShellExecuteExW.
bool Execute(SHELLEXECUTEINFOW& info);
// RegFlushKeyW: what was written below the key reaches the disk, as long as that takes.
LONG FlushKey(HKEY key);
// A menu file kept on a disk, a stick or a share, read and written whole (platform/Files.h).
FileRead ReadFile(const std::wstring& path, size_t maxBytes, std::string* bytes);
bool WriteFile(const std::wstring& path, const std::string& bytes, DWORD* error);

// The slow-media seam, for tests and benchmarks: a delay before every call of a kind, or calls of a kind that do
// not return until Reset.
enum class Call { Attributes, Icon, Listing, Launch, Store, File };
namespace slow {
void Delay(Call call, DWORD ms);
// The next `calls` calls of the kind, every one by default, wait until Reset; only those on the medium named
// (MediumOf), when one is.
void Hang(Call call, unsigned calls = UINT_MAX, const std::wstring& medium = {});
void Reset();   // no delays; every hung call returns
}  // namespace slow

}  // namespace media
}  // namespace platform
