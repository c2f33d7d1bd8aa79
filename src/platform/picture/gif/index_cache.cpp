#include "platform/picture/gif/index_cache.h"

#include <algorithm>
#include <mutex>

namespace mv::gif {
namespace {
// Never destroyed: pictures released during static destruction may still ask it to forget them.
std::mutex& cacheMutex() {
    static auto* m = new std::mutex;
    return *m;
}
}  // namespace

std::shared_ptr<const void> IndexCache::find(const void* owner) {
    std::lock_guard lock(cacheMutex());
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
    if (it == entries_.end()) return nullptr;
    Entry hit = *it;
    entries_.erase(it);
    entries_.push_back(hit);
    return hit.data;
}

uint64_t IndexCache::generation() const {
    std::lock_guard lock(cacheMutex());
    return generation_;
}

std::shared_ptr<const void> IndexCache::insert(const void* owner, std::shared_ptr<const void> data, size_t bytes,
                                               uint64_t since) {
    std::lock_guard lock(cacheMutex());
    if (since != generation_) return data;
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
    if (it != entries_.end()) return it->data;
    entries_.push_back({owner, data, bytes});
    bytes_ += bytes;
    evict();
    return data;
}

// Evicts the oldest until within budget, but always keeps the newest.
void IndexCache::evict() {
    while (bytes_ > budget_ && entries_.size() > 1) {
        bytes_ -= entries_.front().bytes;
        entries_.erase(entries_.begin());
    }
}

size_t IndexCache::budget() const {
    std::lock_guard lock(cacheMutex());
    return budget_;
}

void IndexCache::setBudget(size_t budgetBytes) {
    std::lock_guard lock(cacheMutex());
    budget_ = budgetBytes;
    evict();
}

void IndexCache::forget(const void* owner) {
    std::lock_guard lock(cacheMutex());
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
    if (it == entries_.end()) return;
    bytes_ -= it->bytes;
    entries_.erase(it);
}

void IndexCache::transfer(const void* from, const void* to) {
    std::lock_guard lock(cacheMutex());
    for (auto& e : entries_)
        if (e.owner == from) e.owner = to;
}

void IndexCache::clear() {
    std::lock_guard lock(cacheMutex());
    entries_.clear();
    bytes_ = 0;
    ++generation_;
}

size_t IndexCache::bytes() const {
    std::lock_guard lock(cacheMutex());
    return bytes_;
}

size_t IndexCache::entries() const {
    std::lock_guard lock(cacheMutex());
    return entries_.size();
}

IndexCache& indexCache() {
    // An animation sets the budget to what helps it; the compressed frames stay in their file.
    static auto* cache = new IndexCache(kLoopBudgetBytes);
    return *cache;
}

}  // namespace mv::gif
