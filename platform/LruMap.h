#pragma once
// A map that holds at most a fixed number of values: putting one past that drops the least recently used.
#include <cstddef>
#include <list>
#include <map>
#include <utility>

namespace platform {

template <typename Key, typename Value>
class CLruMap {
public:
    explicit CLruMap(size_t most) : most_(most) {}

    // The value of key, now the most recently used; null when there is none.
    Value* Use(const Key& key)
    {
        const auto found = index_.find(key);
        if (found == index_.end())
            return nullptr;
        order_.splice(order_.begin(), order_, found->second);
        return &found->second->second;
    }
    // The value of key, its place in the order left as it is; null when there is none.
    const Value* Peek(const Key& key) const
    {
        const auto found = index_.find(key);
        return found == index_.end() ? nullptr : &found->second->second;
    }
    // Gives key the value, the most recently used, in place of the one it had; the least recently used go past the cap.
    void Put(const Key& key, Value value)
    {
        Erase(key);
        order_.emplace_front(key, std::move(value));
        index_.emplace(key, order_.begin());
        while (order_.size() > most_) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
    }
    bool Erase(const Key& key)
    {
        const auto found = index_.find(key);
        if (found == index_.end())
            return false;
        order_.erase(found->second);
        index_.erase(found);
        return true;
    }
    size_t Size() const { return order_.size(); }

private:
    using Order = std::list<std::pair<Key, Value>>;
    size_t most_;
    Order order_;   // the most recently used first
    std::map<Key, typename Order::iterator> index_;
};

}  // namespace platform
