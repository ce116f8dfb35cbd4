#include "store/StoreWriter.h"

#include <objbase.h>

#include "menu/Item.h"
#include "store/StoreKeys.h"
#include "store/TreeStore.h"

namespace store {

LaunchRecord LaunchRecordOf(const CItem& document)
{
    LaunchRecord record{{}, {}, document.Path, document.Launches, document.LastLaunch};
    bool stored = true;
    for (const CItem* entry = &document; entry; entry = entry->Parent ? entry->Parent->Owner : nullptr) {
        record.ids.insert(record.ids.begin(), entry->ID);
        record.keys.insert(record.keys.begin(), entry->StoredKey);
        stored = stored && !entry->StoredKey.empty();
    }
    if (!stored)
        record.keys.clear();
    return record;
}

CStoreWriter::CStoreWriter(CTreeStore& store) : store_(store) {}

void CStoreWriter::RecordLaunch(LaunchRecord record)
{
    Submit([this, record = std::move(record)] {
        std::vector<std::wstring> keys = record.keys;
        if (keysAreIds_) {
            keys.clear();
            for (const int id : record.ids)
                keys.push_back(std::to_wstring(id));
        }
        // A document not stored yet gets its counts with the next tree written.
        if (!keys.empty())
            store_.WriteLaunch(keys, record.path, record.launches, record.lastLaunch);
    });
}

CStoreWriter::~CStoreWriter()
{
    {
        std::lock_guard<std::mutex> held(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void CStoreWriter::Submit(PlainTree tree)
{
    {
        std::lock_guard<std::mutex> held(lock_);
        // A snapshot that has not started is older than this one: it goes, with nothing lost.
        if (!tree_)
            ++queued_;
        tree_ = std::move(tree);
        if (!thread_.joinable())
            thread_ = std::thread(&CStoreWriter::Serve, this);
    }
    changed_.notify_all();
}

void CStoreWriter::Submit(Job job)
{
    {
        std::lock_guard<std::mutex> held(lock_);
        jobs_.push_back(std::move(job));
        ++queued_;
        if (!thread_.joinable())
            thread_ = std::thread(&CStoreWriter::Serve, this);
    }
    changed_.notify_all();
}

bool CStoreWriter::Flush()
{
    std::unique_lock<std::mutex> held(lock_);
    const unsigned long long target = queued_;
    changed_.wait(held, [&] { return done_ >= target; });
    return stored_;
}

bool CStoreWriter::Write(const PlainTree& tree, const std::function<bool()>& ready, const std::function<void()>& stored)
{
    Flush();
    const bool written = Store(tree, ready, stored);
    std::lock_guard<std::mutex> held(lock_);
    stored_ = written;
    return written;
}

bool CStoreWriter::Store(const PlainTree& tree, const std::function<bool()>& ready, const std::function<void()>& stored)
{
    std::lock_guard<std::mutex> one(writing_);
    const StoreLock lock;
    backups_.BeforeSave([this] { return store_.ReadStored(); });
    const bool written = store_.StoreTree(tree, ready);
    keysAreIds_ = keysAreIds_ || written;
    if (written && stored)
        stored();
    return written;
}

void CStoreWriter::Serve()
{
    // The shell's folders (where the backups go) want COM on the thread that asks.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    std::unique_lock<std::mutex> held(lock_);
    for (;;) {
        changed_.wait(held, [&] { return stopping_ || tree_ || !jobs_.empty(); });
        if (!tree_ && jobs_.empty())
            break;   // stopping, with nothing left to write
        // The snapshot first: the small writes queued after it are then on top of what it stored.
        std::optional<PlainTree> tree = std::move(tree_);
        tree_.reset();
        std::deque<Job> jobs;
        jobs.swap(jobs_);
        held.unlock();
        bool written = true;
        if (tree)
            written = Store(*tree, {}, {});
        for (const Job& job : jobs) {
            std::lock_guard<std::mutex> one(writing_);
            job();
        }
        held.lock();
        if (tree)
            stored_ = written;
        done_ += (tree ? 1 : 0) + jobs.size();
        changed_.notify_all();
    }
    held.unlock();
    if (com)
        CoUninitialize();
}

}  // namespace store
