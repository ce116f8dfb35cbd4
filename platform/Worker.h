#pragma once
// Work that may block (the disk, the shell) done off the GUI thread. A job gets copies of what it needs and runs on
// one of its pool's threads, with COM initialised there. What it finds goes back as a closure that the GUI thread runs
// when the window named gets a posted message; the closure itself checks that what it is for still exists.
//
// A medium that never answers cannot use a pool up. Each job names the medium its calls go to (a drive or a share,
// media::MediumOf), and at most half the pool's threads run the jobs of one medium at once. A job still running after
// the pool's budget is abandoned: its thread is left to end on its own when its call returns and no longer counts as a
// worker, so the pool starts another. Once the pool holds its cap of abandoned threads, a new job for a medium that one
// of them is stuck in is not run: it answers "not available" at once. Nothing on the GUI thread ever waits for a job.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace platform {

// A job for a pool: the medium its calls go to (empty: none in particular), its work, and what answers instead of the
// work, at once and on whichever thread finds it, when that medium has been given up on (nothing when empty).
struct Job {
    std::wstring medium;
    std::function<void()> work;
    std::function<void()> unavailable;
};

class CWorkerPool {
public:
    struct Limits {
        int workers = 1;      // jobs that run at once
        DWORD budget = 0;     // ms a job may run before its thread is abandoned
        int abandoned = 0;    // abandoned threads still in their calls, at most
    };
    explicit CWorkerPool(const Limits& limits);
    // Takes no more jobs and drops those waiting. Its threads end now, before the process does (a thread of Wine that
    // ends while the process ends can bring the process down): those in a call are waited for at most kEndWait ms,
    // the abandoned ones not at all.
    ~CWorkerPool();
    CWorkerPool(const CWorkerPool&) = delete;
    CWorkerPool& operator=(const CWorkerPool&) = delete;

    static constexpr DWORD kEndWait = 2000;

    // Queues a job, to run in the order jobs came as far as its medium allows. Its ticket; 0 when its medium is given
    // up on (its unavailable answer then ran, on this thread, before Run returned) or the pool has ended.
    using Ticket = unsigned long long;
    Ticket Run(Job job);
    // Takes a job that has not started out of the queue: it never runs. False when it runs or ran.
    bool Withdraw(Ticket ticket);

    // Threads abandoned and still in their calls; threads that count as workers; jobs waiting for one.
    int Abandoned() const;
    int Workers() const;
    int Waiting() const;

    struct Queue;   // what the pool shares with its threads

private:
    std::shared_ptr<Queue> queue_;
};

// The registered message by which finished work reaches a window's thread; its lParam carries the work's number.
UINT WorkDoneMessage();
// Posts done to the window's thread, from any thread; false, and done dropped without running, when the window is
// gone. A window that goes with the message still queued drops it too: it is let go by a later post.
bool PostToWindow(HWND window, std::function<void()> done);
// Runs the work whose number a WorkDoneMessage carries (the window procedure hands it the message's lParam), on the
// thread of the window it was posted to; a number that no post gave runs nothing.
void RunPostedWork(LPARAM lParam);

}  // namespace platform
