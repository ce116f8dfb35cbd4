#pragma once
// The verbs of tabula.exe's command line. "/export FILE" writes the stored menu to a menu file (paths under the user's
// profile as %USERPROFILE%, as the Options page does by default); "/import FILE" puts a menu file's tree and hotkey in
// place of the stored ones, through the running copy when one runs (only the running copy writes the store then).
// Neither becomes a running copy. Each ends the process with one of the codes below and, when it failed, one line on
// the standard error or the console of the command that started it.
#include <windows.h>

#include <optional>

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;          // a verb without its one file
constexpr int kExitBadFile = 2;        // not a menu file: the line says what is wrong and where
constexpr int kExitFileUnusable = 3;   // the file cannot be read (import) or written (export)
constexpr int kExitNoStore = 4;        // no tree is stored (export), or the store did not take the tree (import)

// The tag of the WM_COPYDATA that hands a menu file's full path (UTF-16 with its terminator) to the running copy.
constexpr ULONG_PTR kImportFileData = 0x54424C49;

// The command line's verb run: its exit code; nothing when the command line names no verb and the program runs.
std::optional<int> RunCommandLine(HINSTANCE instance, const wchar_t* commandLine);

// The running copy's side of "/import": the file handed over by WM_COPYDATA imported; the exit code for the copy that
// handed it over.
LRESULT OnImportHandedOver(HWND mainWindow, const COPYDATASTRUCT* data);
