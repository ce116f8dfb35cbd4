#pragma once
// The startup folder's shortcut, in the form that the platform's startup folder runs.
#include <windows.h>

#include <string>

namespace platform {

// Writes the shortcut at shortcutPath that starts programPath at the next start, replacing any old
// one. On the device the startup folder reads the text form (deviceText, written byte for byte); on
// desktop Windows and Wine it runs shell links only, so a shell link to the program is written there.
bool WriteStartupShortcut(const std::wstring& shortcutPath, const std::wstring& programPath,
                          const std::string& deviceText);

// The device's form: the text, without line end or terminating zero.
bool WriteTextShortcut(const std::wstring& shortcutPath, const std::string& text);

// The desktop's form: a shell link to the program, started in the program's folder.
bool WriteShellLink(const std::wstring& shortcutPath, const std::wstring& programPath);

}  // namespace platform
