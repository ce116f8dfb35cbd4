#pragma once
// Tells of changes in a folder without ever blocking the thread that asked: ReadDirectoryChangesW waits on a thread of
// the watch's own (it blocks, and on a share for as long as the share takes), and the same thread looks every
// kLookEveryMs besides, so that a folder the system cannot watch (a network path that does not support it) is still
// followed. changed runs on that thread, after each change and each look; it is told nothing of what changed.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Handles.h"

namespace platform {

class CFolderWatch {
public:
    static constexpr DWORD kLookEveryMs = 10000;
    // How long a burst of changes (a file written in pieces) is let settle before changed is called.
    static constexpr DWORD kSettleMs = 100;

    CFolderWatch(const std::wstring& folder, std::function<void()> changed);
    // Stops the thread: one in changed (a medium that hangs) is waited for kEndWaitMs at most, then left to end alone.
    ~CFolderWatch();
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    static constexpr DWORD kEndWaitMs = 2000;

    // Whether the system watches the folder; false once it refused, and only the looks follow it.
    bool Watching() const;

    struct State;   // what the watch shares with its thread

private:
    std::shared_ptr<State> state_;
    handles::unique_kernel_object thread_;
};

}  // namespace platform
