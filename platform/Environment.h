#pragma once
// Environment variables in stored paths, and the folder where the program keeps the user's own files.
#include <windows.h>

#include <string>

namespace platform {

// The text with each %NAME% of a set variable replaced by its value; a variable that is not set stays as written.
std::wstring ExpandVariables(const std::wstring& text);

// A path under the user's profile folder with %USERPROFILE% in the profile's place, so that it holds on another
// machine or for another user; any other path as it is.
std::wstring WithProfileVariable(const std::wstring& path);

// The folder of the user's application data (CSIDL_APPDATA; on the device its "\Application Data"), without a
// trailing backslash; empty when the system names none.
std::wstring AppDataFolder();

}  // namespace platform
