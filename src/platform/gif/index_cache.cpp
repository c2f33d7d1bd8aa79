#include "index_cache.h"

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

Indices IndexCache::get(const void* owner, const std::function<std::vector<uint8_t>()>& decode) {
    {
        std::lock_guard lock(cacheMutex());
        auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
        if (it != entries_.end()) {
            Entry hit = *it;
            entries_.erase(it);
            entries_.push_back(hit);
            return hit.indices;
        }
    }
    auto fresh = std::make_shared<const std::vector<uint8_t>>(decode());
    std::lock_guard lock(cacheMutex());
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
    if (it != entries_.end()) return it->indices;
    entries_.push_back({owner, fresh});
    bytes_ += fresh->size();
    // Evict the oldest until within budget, but always keep the one just decoded.
    while (bytes_ > budget_ && entries_.size() > 1) {
        bytes_ -= entries_.front().indices->size();
        entries_.erase(entries_.begin());
    }
    return fresh;
}

void IndexCache::forget(const void* owner) {
    std::lock_guard lock(cacheMutex());
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.owner == owner; });
    if (it == entries_.end()) return;
    bytes_ -= it->indices->size();
    entries_.erase(it);
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
    static auto* cache = new IndexCache(32u * 1024 * 1024);
    return *cache;
}

}  // namespace mv::gif
