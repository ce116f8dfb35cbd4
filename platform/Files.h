#pragma once
// Whole files read and written at once, and the files of a folder: what menu files and backups need of the file system.
#include <windows.h>

#include <string>
#include <vector>

namespace platform {

enum class FileRead { Read, Unreadable, TooLarge };

// The file's bytes into *bytes when it holds at most maxBytes; TooLarge (nothing read) when it holds more.
FileRead ReadWholeFile(const std::wstring& path, size_t maxBytes, std::string* bytes);

// Makes bytes the file's whole content. They are written beside it first ("<path>.new"), flushed to the disk, and then
// take its place in one step, so that neither a kill nor a sync service ever finds the file half written. False when
// it could not be written (the file as it was), with the system's reason in *error when asked.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD* error = nullptr);

// The steps of that write, in order; a test seam ends the process just before the one it names, as the registry's
// does before a change (platform/Registry.h).
enum class SaveStep { Create = 1, Write, Flush, Close, Replace, Done };
namespace files::faults {
void TerminateBefore(SaveStep step, UINT exitCode);
void Reset();
}  // namespace files::faults

// Makes a folder and the folders above it that are missing; true when it exists afterwards.
bool MakeFolders(const std::wstring& folder);

// The names of the files in a folder that match a pattern ("*.json"), in no particular order.
std::vector<std::wstring> FileNames(const std::wstring& folder, const std::wstring& pattern);

bool RemoveFile(const std::wstring& path);

}  // namespace platform
