#pragma once
// Recently decoded frames (palette indices) and composed canvases (pixels), kept so that a
// short animation or a repeated paint does not decode again, while a long animation costs no
// more than the budget.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace mv::gif {

template <class T>
using Buffer = std::shared_ptr<const std::vector<T>>;
using Indices = Buffer<uint8_t>;

// What the cache keeps until an animation sets its own budget, and the most a loop may take to
// be kept whole.
constexpr size_t kLoopBudgetBytes = size_t{48} << 20;

class IndexCache {
public:
    explicit IndexCache(size_t budgetBytes) : budget_(budgetBytes) {}
    // The cached buffer of `owner`, made with `make` when it is not cached. Each owner keeps
    // one buffer of one element type.
    template <class T>
    Buffer<T> get(const void* owner, const std::function<std::vector<T>()>& make) {
        if (auto hit = find(owner)) return std::static_pointer_cast<const std::vector<T>>(hit);
        const uint64_t since = generation();
        auto fresh = std::make_shared<const std::vector<T>>(make());
        return std::static_pointer_cast<const std::vector<T>>(insert(owner, fresh, fresh->size() * sizeof(T), since));
    }
    // The cached buffer of `owner` without making one; null when it is not cached.
    template <class T>
    Buffer<T> peek(const void* owner) {
        return std::static_pointer_cast<const std::vector<T>>(find(owner));
    }
    void forget(const void* owner);
    // What `from` has cached now belongs to `to` (a picture replaced by an equal one).
    void transfer(const void* from, const void* to);
    // Drops every entry, as under memory pressure; whatever is asked for later is made again.
    // A buffer whose making began before the clear (on another thread) is not kept either: it
    // may come from a file that has changed since.
    void clear();
    size_t bytes() const;
    size_t budget() const;
    // A new budget; the oldest entries go until the rest fits.
    void setBudget(size_t budgetBytes);
    size_t entries() const;

private:
    struct Entry {
        const void* owner;
        std::shared_ptr<const void> data;
        size_t bytes;
    };
    std::shared_ptr<const void> find(const void* owner);
    uint64_t generation() const;
    std::shared_ptr<const void> insert(const void* owner, std::shared_ptr<const void> data, size_t bytes, uint64_t since);
    void evict();
    size_t budget_;
    std::vector<Entry> entries_;  // most recently used last; a handful of entries at most
    size_t bytes_ = 0;
    uint64_t generation_ = 0;  // counts the clears
};

// The one cache all GIF pictures share.
IndexCache& indexCache();

}  // namespace mv::gif
