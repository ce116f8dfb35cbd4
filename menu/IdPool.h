#pragma once
#include <cstddef>
#include <map>

// The ids in use in one entry tree, kept so that the smallest free id of 5 or more is found in
// logarithmic time instead of by a search of the whole tree per candidate.
class CIdPool {
public:
    static constexpr int FirstFreeId = 5;
    // A menu command id is 16 bits wide: fresh ids stay within them.
    static constexpr int LastFreeId = 0xFFFF;

    CIdPool();

    void Use(int id);       // an entry with this id joined the tree
    void Release(int id);   // an entry with this id left the tree
    bool InUse(int id) const;
    size_t Count() const { return counts_.size(); }   // ids in use
    int Smallest() const;   // smallest id from FirstFreeId to LastFreeId that no entry has; -1 when none is left

private:
    std::map<int, int> counts_;   // id -> number of entries that carry it
    std::map<int, int> free_;     // disjoint free ranges [first, last] within FirstFreeId..LastFreeId
};
