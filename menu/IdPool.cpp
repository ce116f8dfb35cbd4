#include "menu/IdPool.h"

#include <iterator>

CIdPool::CIdPool() { free_.emplace(FirstFreeId, LastFreeId); }

void CIdPool::Use(int id)
{
    // Each step that can fail comes before anything changes, so that a failure leaves the pool as it was.
    auto counted = counts_.try_emplace(id, 0).first;
    if (counted->second++ > 0 || id < FirstFreeId || id > LastFreeId)
        return;
    // Split the free range that holds the id.
    auto it = std::prev(free_.upper_bound(id));
    const int first = it->first, last = it->second;
    if (id < last) {
        try {
            free_.emplace(id + 1, last);
        } catch (...) {
            counts_.erase(counted);
            throw;
        }
    }
    if (first < id)
        it->second = id - 1;
    else
        free_.erase(it);
}

void CIdPool::Release(int id)
{
    auto found = counts_.find(id);
    if (found == counts_.end())
        return;
    if (--found->second > 0)
        return;
    counts_.erase(found);
    if (id < FirstFreeId || id > LastFreeId)
        return;
    // Give the id back, merged with the free ranges on either side.
    int first = id, last = id;
    auto next = free_.upper_bound(id);
    if (next != free_.end() && next->first == id + 1) {
        last = next->second;
        next = free_.erase(next);
    }
    if (next != free_.begin()) {
        auto prev = std::prev(next);
        if (prev->second == id - 1) {
            first = prev->first;
            free_.erase(prev);
        }
    }
    free_.emplace(first, last);
}

bool CIdPool::InUse(int id) const { return counts_.count(id) != 0; }

int CIdPool::Smallest() const { return free_.empty() ? -1 : free_.begin()->first; }
