#pragma once
// Work that may block (the disk, the shell) done off the GUI thread. A job gets copies of what it needs and runs on
// one of its pool's threads, with COM initialised there. What it finds goes back as a closure that the GUI thread runs
// when the window named gets a posted message; the closure itself checks that what it is for still exists. Nothing
// ever waits for a job: a call that never returns keeps its thread, and the process ends without it.
#include <windows.h>

#include <functional>
#include <memory>

namespace platform {

class CWorkerPool {
public:
    // At most `threads` jobs run at once; the others wait their turn in the order they came.
    explicit CWorkerPool(int threads);
    // Takes no more jobs and lets its threads go when their jobs end; never waits for them.
    ~CWorkerPool();
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;

    void Run(std::function<void()> job);

    struct Queue;   // what the pool shares with its threads

private:
    std::shared_ptr<Queue> queue_;
};

// The registered message by which finished work reaches a window's thread; its lParam carries the closure.
UINT WorkDoneMessage();
// Posts done to the window's thread, from any thread; false, and done dropped without running, when the window is
// gone. A window that goes with the message still queued drops it too.
bool PostToWindow(HWND window, std::function<void()> done);
// Runs the closure that a WorkDoneMessage carries: the window procedure hands it the message's lParam.
void RunPostedWork(LPARAM lParam);

}  // namespace platform
