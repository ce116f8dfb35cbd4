#include "platform/Worker.h"

#include <objbase.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {

struct CWorkerPool::Queue {
    std::mutex lock;
    std::condition_variable ready;
    std::deque<std::function<void()>> jobs;
    int threads = 0;   // started so far
    int idle = 0;      // waiting for a job
    int limit = 1;
    bool stopped = false;
};

namespace {

// One thread of a pool: takes jobs until the pool goes. The queue is shared, so it outlives the pool if need be.
void Serve(std::shared_ptr<CWorkerPool::Queue> queue)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> held(queue->lock);
            ++queue->idle;
            queue->ready.wait(held, [&] { return queue->stopped || !queue->jobs.empty(); });
            --queue->idle;
            if (queue->stopped)
                break;
            job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
        }
        job();
    }
    if (com)
        CoUninitialize();
}

}  // namespace

CWorkerPool::CWorkerPool(int threads) : queue_(std::make_shared<Queue>()) { queue_->limit = threads > 0 ? threads : 1; }

CWorkerPool::~CWorkerPool()
{
    std::lock_guard<std::mutex> held(queue_->lock);
    queue_->stopped = true;
    queue_->jobs.clear();
    queue_->ready.notify_all();
}

void CWorkerPool::Run(std::function<void()> job)
{
    std::lock_guard<std::mutex> held(queue_->lock);
    queue_->jobs.push_back(std::move(job));
    // A new thread only when every thread is busy, up to the limit: a job stuck in a call keeps its thread.
    if (queue_->idle < static_cast<int>(queue_->jobs.size()) && queue_->threads < queue_->limit) {
        ++queue_->threads;
        std::thread(Serve, queue_).detach();
    }
    queue_->ready.notify_one();
}

UINT WorkDoneMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Tabula.WorkDone");
    return message;
}

bool PostToWindow(HWND window, std::function<void()> done)
{
    auto closure = std::make_unique<std::function<void()>>(std::move(done));
    if (!window || !PostMessageW(window, WorkDoneMessage(), 0, reinterpret_cast<LPARAM>(closure.get())))
        return false;
    closure.release();   // the window's thread owns it now
    return true;
}

void RunPostedWork(LPARAM lParam)
{
    std::unique_ptr<std::function<void()>> closure(reinterpret_cast<std::function<void()>*>(lParam));
    if (closure && *closure)
        (*closure)();
}

}  // namespace platform
