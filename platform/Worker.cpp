#include "platform/Worker.h"

#include <objbase.h>
#include <process.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <map>
#include <mutex>
#include <vector>

#include "platform/Handles.h"

namespace platform {

namespace {

// One thread of a pool, shared by the pool and the thread: the job it is in, and whether it was abandoned there.
struct Thread {
    handles::unique_kernel_object handle;
    std::wstring medium;
    DWORD started = 0;
    bool busy = false;
    bool abandoned = false;
};

}  // namespace

struct CWorkerPool::Queue {
    // The waiting jobs of each medium in the order they came (by ticket); the few media are looked at, not the jobs.
    using Jobs = std::map<Ticket, Job>;

    std::mutex lock;
    std::condition_variable ready;   // a job waits, a medium has room again, or the pool ended
    std::condition_variable watch;   // a job started, a thread came back, or the pool ended: the watcher looks again
    Limits limits;
    std::map<std::wstring, Jobs> waiting;           // medium -> its waiting jobs; none empty
    size_t waitingCount = 0;
    std::vector<std::shared_ptr<Thread>> workers;   // the abandoned ones are no longer here
    std::map<std::wstring, int> running;            // medium -> jobs of workers in its calls
    std::map<std::wstring, int> stuck;              // medium -> abandoned threads still in its calls
    handles::unique_kernel_object watcher;
    int idle = 0;       // workers waiting for a job
    int starting = 0;   // workers started that have not looked for one yet
    int abandoned = 0;
    Ticket lastTicket = 0;
    bool stopped = false;

    // The jobs of one medium that may run at once: half the workers, so that one medium leaves room for the others.
    int PerMedium() const { return std::max(1, (limits.workers + 1) / 2); }
    bool GivenUp(const std::wstring& medium) const { return abandoned >= limits.abandoned && stuck.count(medium); }
    bool HasRoom(const std::wstring& medium) const
    {
        const auto busy = running.find(medium);
        return busy == running.end() || busy->second < PerMedium();
    }
    // Takes the job that came first of those that may start now, or of those to answer "not available"; false when
    // there is none.
    bool TakeNext(Job& job)
    {
        auto first = waiting.end();
        for (auto medium = waiting.begin(); medium != waiting.end(); ++medium)
            if ((GivenUp(medium->first) || HasRoom(medium->first)) &&
                (first == waiting.end() || medium->second.begin()->first < first->second.begin()->first))
                first = medium;
        if (first == waiting.end())
            return false;
        job = std::move(first->second.begin()->second);
        Erase(first, first->second.begin());
        return true;
    }
    void Erase(std::map<std::wstring, Jobs>::iterator medium, Jobs::iterator job)
    {
        medium->second.erase(job);
        if (medium->second.empty())
            waiting.erase(medium);
        --waitingCount;
    }
    static void Count(std::map<std::wstring, int>& counts, const std::wstring& medium, int by)
    {
        if ((counts[medium] += by) <= 0)
            counts.erase(medium);
    }
};

namespace {

using Queue = CWorkerPool::Queue;

struct Start {
    std::shared_ptr<Queue> queue;
    std::shared_ptr<Thread> thread;
};

// Takes the jobs of the pool, one at a time, until the pool ends or the thread is abandoned in one.
void Serve(Queue& queue, Thread& self)
{
    std::unique_lock<std::mutex> held(queue.lock);
    --queue.starting;
    while (!queue.stopped) {
        Job job;
        if (!queue.TakeNext(job)) {
            ++queue.idle;
            queue.ready.wait(held);
            --queue.idle;
            continue;
        }
        const bool givenUp = queue.GivenUp(job.medium);
        if (!givenUp) {
            self.busy = true, self.medium = job.medium, self.started = GetTickCount();
            Queue::Count(queue.running, job.medium, 1);
            queue.watch.notify_one();
        }
        held.unlock();
        givenUp ? (job.unavailable ? job.unavailable() : void()) : job.work();
        job = {};   // what it holds goes before the lock is taken again
        held.lock();
        if (givenUp)
            continue;
        self.busy = false;
        if (self.abandoned) {
            // No longer a worker: the medium has one stuck call less, and the cap may have room again.
            --queue.abandoned;
            Queue::Count(queue.stuck, self.medium, -1);
            queue.watch.notify_one();
            return;
        }
        Queue::Count(queue.running, self.medium, -1);
        queue.ready.notify_one();   // the medium has room again
    }
}

unsigned __stdcall WorkerThread(void* parameter)
{
    const std::unique_ptr<Start> start(static_cast<Start*>(parameter));
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    Serve(*start->queue, *start->thread);
    if (com)
        CoUninitialize();
    return 0;
}

// Starts one more worker; under the queue's lock.
void StartWorker(const std::shared_ptr<Queue>& queue)
{
    auto thread = std::make_shared<Thread>();
    auto start = std::make_unique<Start>(Start{queue, thread});
    const uintptr_t handle = _beginthreadex(nullptr, 0, WorkerThread, start.get(), 0, nullptr);
    if (!handle)
        return;
    start.release();   // the thread's now
    thread->handle.reset(reinterpret_cast<HANDLE>(handle));
    queue->workers.push_back(std::move(thread));
    ++queue->starting;
}

// Starts workers while more jobs wait than workers are free to take them, up to the limit; under the queue's lock.
void StartWorkers(const std::shared_ptr<Queue>& queue)
{
    while (queue->idle + queue->starting < static_cast<int>(queue->waitingCount) &&
           static_cast<int>(queue->workers.size()) < queue->limits.workers) {
        const size_t before = queue->workers.size();
        StartWorker(queue);
        if (queue->workers.size() == before)
            return;
    }
}

// Abandons the workers that ran past the budget, while the cap has room; the ms until the next one would. Under the
// queue's lock.
DWORD AbandonOverdue(Queue& queue)
{
    DWORD next = INFINITE;
    const DWORD now = GetTickCount();
    for (auto worker = queue.workers.begin(); worker != queue.workers.end();) {
        Thread& thread = **worker;
        const DWORD ran = now - thread.started;
        if (!thread.busy || queue.abandoned >= queue.limits.abandoned) {
            ++worker;
        } else if (ran < queue.limits.budget) {
            next = std::min(next, queue.limits.budget - ran);
            ++worker;
        } else {
            thread.abandoned = true;
            ++queue.abandoned;
            Queue::Count(queue.running, thread.medium, -1);
            Queue::Count(queue.stuck, thread.medium, 1);
            worker = queue.workers.erase(worker);
        }
    }
    return next;
}

// The pool's watcher: abandons the jobs that overrun their budget and starts workers in their place.
unsigned __stdcall WatcherThread(void* parameter)
{
    const std::shared_ptr<Queue> queue = std::move(*static_cast<std::shared_ptr<Queue>*>(parameter));
    delete static_cast<std::shared_ptr<Queue>*>(parameter);
    std::unique_lock<std::mutex> held(queue->lock);
    while (!queue->stopped) {
        const DWORD next = AbandonOverdue(*queue);
        StartWorkers(queue);
        queue->ready.notify_all();
        if (next == INFINITE)
            queue->watch.wait(held);
        else
            queue->watch.wait_for(held, std::chrono::milliseconds(next));
    }
    return 0;
}

}  // namespace

CWorkerPool::CWorkerPool(const Limits& limits) : queue_(std::make_shared<Queue>())
{
    queue_->limits = limits;
    queue_->limits.workers = std::max(1, limits.workers);
}

CWorkerPool::~CWorkerPool()
{
    std::vector<HANDLE> ending;
    std::map<std::wstring, Queue::Jobs> dropped;
    {
        std::lock_guard<std::mutex> held(queue_->lock);
        queue_->stopped = true;
        dropped.swap(queue_->waiting);
        queue_->waitingCount = 0;
        for (const auto& worker : queue_->workers)
            ending.push_back(worker->handle.get());
        if (queue_->watcher)
            ending.push_back(queue_->watcher.get());
        queue_->ready.notify_all();
        queue_->watch.notify_all();
    }
    // The handles stay open meanwhile: the queue, which holds them, is this pool's until it goes.
    if (!ending.empty())
        WaitForMultipleObjects(static_cast<DWORD>(ending.size()), ending.data(), TRUE, kEndWait);
}

CWorkerPool::Ticket CWorkerPool::Run(Job job)
{
    std::unique_lock<std::mutex> held(queue_->lock);
    if (queue_->stopped)
        return 0;
    if (queue_->GivenUp(job.medium)) {
        held.unlock();
        if (job.unavailable)
            job.unavailable();
        return 0;
    }
    const Ticket ticket = ++queue_->lastTicket;
    const std::wstring medium = job.medium;
    queue_->waiting[medium].emplace(ticket, std::move(job));
    ++queue_->waitingCount;
    if (!queue_->watcher) {
        auto* watched = new std::shared_ptr<Queue>(queue_);
        const uintptr_t watcher = _beginthreadex(nullptr, 0, WatcherThread, watched, 0, nullptr);
        watcher ? queue_->watcher.reset(reinterpret_cast<HANDLE>(watcher)) : delete watched;
    }
    StartWorkers(queue_);
    queue_->ready.notify_one();
    return ticket;
}

bool CWorkerPool::Withdraw(Ticket ticket)
{
    Job withdrawn;   // goes after the lock is let go
    std::lock_guard<std::mutex> held(queue_->lock);
    for (auto medium = queue_->waiting.begin(); medium != queue_->waiting.end(); ++medium)
        if (const auto found = medium->second.find(ticket); found != medium->second.end()) {
            withdrawn = std::move(found->second);
            queue_->Erase(medium, found);
            return true;
        }
    return false;
}

int CWorkerPool::Abandoned() const
{
    std::lock_guard<std::mutex> held(queue_->lock);
    return queue_->abandoned;
}

int CWorkerPool::Workers() const
{
    std::lock_guard<std::mutex> held(queue_->lock);
    return static_cast<int>(queue_->workers.size());
}

int CWorkerPool::Waiting() const
{
    std::lock_guard<std::mutex> held(queue_->lock);
    return static_cast<int>(queue_->waitingCount);
}

UINT WorkDoneMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Tabula.WorkDone");
    return message;
}

namespace {

// Work posted and not run yet, by the number its message carries. The message carries no pointer: a work-done message
// from another process, or one with a number no post gave, runs nothing. Work whose window went with its message still
// queued is let go by a later post, which looks for such work when the table has grown to twice what it held at the
// last look (or at the size it has shrunk towards since): in all, a post costs a constant time on average. Made
// once and never destroyed, so that work still waiting when the process ends is not run down after what it refers to.
struct PostedWork {
    struct Waiting {
        HWND window;
        std::function<void()> work;
    };
    std::mutex lock;
    LPARAM last = 0;
    size_t lookAt = 16;   // the size at which the table is next looked through
    std::map<LPARAM, Waiting> waiting;

    static PostedWork& Table()
    {
        static PostedWork* const table = new PostedWork;
        return *table;
    }
};

}  // namespace

bool PostToWindow(HWND window, std::function<void()> done)
{
    PostedWork& posted = PostedWork::Table();
    // Work let go is destroyed outside the lock: what it holds may post again as it goes.
    std::vector<std::function<void()>> gone;
    LPARAM number = 0;
    {
        std::lock_guard<std::mutex> held(posted.lock);
        if (posted.waiting.size() >= posted.lookAt) {
            for (auto at = posted.waiting.begin(); at != posted.waiting.end();)
                if (IsWindow(at->second.window))
                    ++at;
                else
                    gone.push_back(std::move(at->second.work)), at = posted.waiting.erase(at);
            posted.lookAt = std::max<size_t>(16, 2 * posted.waiting.size());
        }
        // Never 0, and never one still waiting: the numbers go round only after 2^63 posts.
        number = posted.last = posted.last == std::numeric_limits<LPARAM>::max() ? 1 : posted.last + 1;
        posted.waiting[number] = {window, std::move(done)};
    }
    if (window && PostMessageW(window, WorkDoneMessage(), 0, number))
        return true;
    std::lock_guard<std::mutex> held(posted.lock);
    gone.push_back(std::move(posted.waiting[number].work));
    posted.waiting.erase(number);
    return false;
}

void RunPostedWork(LPARAM lParam)
{
    PostedWork& posted = PostedWork::Table();
    std::function<void()> work;
    {
        std::lock_guard<std::mutex> held(posted.lock);
        const auto found = posted.waiting.find(lParam);
        // Only on the thread of the window it was posted to, whoever sent the message.
        if (found == posted.waiting.end() ||
            GetWindowThreadProcessId(found->second.window, nullptr) != GetCurrentThreadId())
            return;
        work = std::move(found->second.work);
        posted.waiting.erase(found);
        // The next look follows the table down as it empties.
        if (posted.waiting.size() * 4 < posted.lookAt)
            posted.lookAt = std::max<size_t>(16, posted.lookAt / 2);
    }
    if (work)
        work();
}

}  // namespace platform
