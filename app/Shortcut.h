#pragma once
// The shortcut in the startup folder that runs the program at the next start.
#include <windows.h>

#include <string>

// The startup folder without a trailing backslash; false (folder untouched) when the shell has none.
bool GetStartupFolder(std::wstring& folder);

// folder \ program base name (file name less its last extension) + ".lnk".
std::wstring BuildShortcutPath(const std::wstring& programPath, const std::wstring& folder);

// The startup folder's text form of a shortcut: "%d#\"%s\"" with the path length + 5 and the path,
// in the given ANSI code page, with no line end and no terminating zero.
std::string BuildShortcutText(const std::wstring& programPath, UINT codePage = CP_ACP);

// Yes (create) writes or replaces the shortcut to programPath; No deletes it. Failures stay silent.
void UpdateStartupShortcut(const std::wstring& programPath, bool create);

// The running program's full path, however long.
std::wstring RunningProgramPath();
