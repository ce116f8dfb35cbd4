#pragma once
// Opening what a menu entry stands for, off the GUI thread: the shell may take as long as the medium or the program
// opened takes, and the menu, the icon and the hotkey stay live meanwhile.
#include <string>

#include "platform/Worker.h"

// What a launch needs, copied whole into the job that opens it.
struct LaunchRequest {
    std::wstring path;   // as stored
};

// What opening a path hands the shell: the file to open and its parameters. A folder is the file explorer with the
// folder; anything else, a path whose attributes cannot be read too, is the path itself as a file. No file at all for
// a path too long for the shell. It reads the path's attributes, so it may wait on the disk.
struct ShellOpening {
    std::wstring file;
    std::wstring parameters;
};
ShellOpening OpeningOf(const std::wstring& path);

// Opens a document on the calling thread, waiting for the shell: a folder in the file explorer, anything else through
// the shell's "open"; a failure stays silent.
void OpenDocument(const LaunchRequest& request);

// Opens documents on worker threads. A launch that never returns keeps its thread, and the next one gets another, so
// that two choices made in a row both open.
class CLauncher {
public:
    CLauncher() : pool_(kMostAtOnce) {}
    void Launch(LaunchRequest request);

private:
    static constexpr int kMostAtOnce = 16;
    platform::CWorkerPool pool_;
};
