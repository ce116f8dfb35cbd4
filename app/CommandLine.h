#pragma once
// The verbs of tabula.exe's command line. "/export FILE" writes the stored menu to a menu file (paths under the user's
// profile as %USERPROFILE%, as the Options page does by default); "/import FILE" puts a menu file's tree and hotkey in
// place of the stored ones, through the running copy when one runs (only the running copy writes the store then).
// Neither becomes a running copy. Each ends the process with one of the codes below and, when it failed, one line on
// the standard error or the console of the command that started it. Any other word that starts with "/" or "-" is no
// verb: the usage is printed and nothing starts.
#include <windows.h>

#include <optional>

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;          // no verb, or a verb without its one file
constexpr int kExitBadFile = 2;        // not a menu file: the line says what is wrong and where
constexpr int kExitFileUnusable = 3;   // the file cannot be read (import) or written (export)
constexpr int kExitNoStore = 4;        // no tree is stored (export), or the store did not take the tree (import)

// A hand-over to the running copy is a WM_COPYDATA tagged kHandOverData whose data is a HandOver: the moment
// (GetTickCount64) after which the copy that hands it over no longer waits, then the menu file's full path, UTF-16
// with its terminator. The running copy answers kHandOverAnswer with the exit code in the low word, an answer that
// no window that does not know hand-overs gives; it applies nothing after the moment has passed. An earlier
// version handed over kImportFileData, the path alone, answered with the bare exit code: that is still taken.
constexpr ULONG_PTR kHandOverData = 0x54424C4A;
constexpr ULONG_PTR kImportFileData = 0x54424C49;
constexpr LRESULT kHandOverAnswer = 0x54420000;
struct HandOver {
    ULONGLONG deadline;
    wchar_t path[1];   // as long as the data
};

// The command line's verb run: its exit code; nothing when the command line names no verb and the program runs.
std::optional<int> RunCommandLine(HINSTANCE instance, const wchar_t* commandLine);

// The running copy's side of "/import": the file handed over by WM_COPYDATA imported; the answer for the copy that
// handed it over.
LRESULT OnImportHandedOver(HWND mainWindow, const COPYDATASTRUCT* data);
