#pragma once
// Opening what a menu entry stands for, off the GUI thread: the shell may take as long as the medium or the program
// opened takes, and the menu, the icon and the hotkey stay live meanwhile.
#include <windows.h>

#include <string>

#include "platform/Worker.h"

class CItem;

// What opening a document asks for, as its entry holds it: plain strings and numbers, so that it can be handed on.
struct LaunchRequest {
    std::wstring path;        // as stored: variables and "\My Documents" not yet resolved
    std::wstring arguments;   // the rest as stored too; empty for none
    std::wstring startIn;
    std::wstring verb;        // empty: "open"
    int show = SW_SHOW;
};
LaunchRequest LaunchRequestOf(const CItem& document);

// What opening a path hands the shell: the file to open, its parameters, the folder it starts in, the verb and the
// window's state. A folder is the file explorer with the folder, whatever the request's arguments, folder and verb;
// anything else, a path whose attributes cannot be read too, is the path itself as a file. No file at all for a path
// or a start folder too long for the shell. It reads the path's attributes, so it may wait on the disk.
struct ShellOpening {
    std::wstring file;
    std::wstring parameters;
    std::wstring directory;
    std::wstring verb;
    int show = SW_SHOW;
};
ShellOpening OpeningOf(const LaunchRequest& request);
ShellOpening OpeningOf(const std::wstring& path);

// Opens a document on the calling thread, waiting for the shell: a folder in the file explorer, anything else through
// the shell's "open" (or the request's verb); a failure, a refused elevation too, stays silent.
void OpenDocument(const LaunchRequest& request);
void OpenDocument(const std::wstring& path);

// Opens documents on worker threads, so that two choices made in a row both open: a launch that takes longer than ten
// seconds gives its thread up to the next one (platform/Worker.h). A document on a medium given up on opens nothing,
// as a missing one does. Call it on the GUI thread.
class CLauncher {
public:
    CLauncher();
    void Launch(LaunchRequest request);
    const platform::CWorkerPool& Workers() const { return pool_; }

private:
    platform::CWorkerPool pool_;
};
