#pragma once
// The one writer of the store. A change made on the GUI thread reaches the registry from a thread of the writer's own,
// as a snapshot of the tree (store/PlainTree.h): the newest snapshot that waits takes the place of an older one that
// has not started (the newest wins), snapshots are written in the order they were taken, and each by the safe
// replacement (store/StoreKeys.h), so that a kill at any moment leaves the last complete write. Small writes of single
// values (Job) run in order after the snapshot that waits before them. Before each tree it writes, the writer backs up
// the stored tree that it replaces (store/Backups.h), which it owns.
//
// What must not miss a change (Exit, an export, a hand-over, an import, a restore) waits for the pending write first
// (Flush, Write). The GUI thread never waits on the writer otherwise.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "store/Backups.h"
#include "store/PlainTree.h"

class CItem;
class CTreeStore;

namespace store {

// A launch's counts as the writer stores them, alone, into the document's stored key: found by the document's and its
// sections' ids once a write of the writer's has named every key by its entry's id, before that by the keys the load
// read them from, and written only where the key holds that document.
struct LaunchRecord {
    std::vector<int> ids;             // from the top level down to the document
    std::vector<std::wstring> keys;   // likewise; empty when the document was not read from the store
    std::wstring path;
    std::optional<DWORD> launches;
    std::optional<ULONGLONG> lastLaunch;
};
LaunchRecord LaunchRecordOf(const CItem& document);

class CStoreWriter {
public:
    // Writes to store, which outlives the writer. Its thread starts with the first snapshot.
    explicit CStoreWriter(CTreeStore& store);
    // Writes what waits, then ends its thread.
    ~CStoreWriter();
    CStoreWriter(const CStoreWriter&) = delete;
    CStoreWriter& operator=(const CStoreWriter&) = delete;

    // Queues a numbered tree to be written; returns at once.
    void Submit(PlainTree tree);
    // Queues a small write to run on the writer after what waits before it.
    using Job = std::function<void()>;
    void Submit(Job job);
    // Queues the write of a launch's counts.
    void RecordLaunch(LaunchRecord record);
    // Waits until everything queued so far is written; whether the last tree written was stored.
    bool Flush();
    // Writes a numbered tree now, on the calling thread, once everything queued before it is written: the stored tree
    // backed up first. ready and stored as CTreeStore::StoreTree's; false when the stored tree stayed as it was.
    bool Write(const PlainTree& tree, const std::function<bool()>& ready = {}, const std::function<void()>& stored = {});

    // The backups taken before each write. Set up before the first write; used on the writer's thread afterwards.
    CBackups& Backups() { return backups_; }

private:
    void Serve();
    bool Store(const PlainTree& tree, const std::function<bool()>& ready, const std::function<void()>& stored);

    CTreeStore& store_;
    CBackups backups_;
    std::mutex writing_;   // one write at a time, on the writer's thread or a caller's, with the backups it takes
    bool keysAreIds_ = false;   // a tree this writer wrote named every stored key by its entry's id

    std::mutex lock_;      // guards what follows
    std::condition_variable changed_;
    std::optional<PlainTree> tree_;   // the newest snapshot not yet taken
    std::deque<Job> jobs_;            // small writes, in order, after the snapshot that waited before them
    unsigned long long queued_ = 0;   // how many things were queued, and how many are done
    unsigned long long done_ = 0;
    bool stored_ = true;              // whether the last tree written was stored
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace store
