#pragma once
// Opening what a menu entry stands for.
#include <string>

// What opening a path hands the shell: the file to open and its parameters. A folder is the file explorer with the
// folder; anything else, a path whose attributes cannot be read too, is the path itself as a file. No file at all for
// a path too long for the shell.
struct ShellOpening {
    std::wstring file;
    std::wstring parameters;
};
ShellOpening OpeningOf(const std::wstring& path);

// Opens a document's path: a folder in the file explorer, anything else through the shell's "open"; a failure stays
// silent.
void OpenDocument(const std::wstring& path);
