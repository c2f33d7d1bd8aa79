#pragma once
// Recently decoded frames, kept so that a short animation or a repeated paint does not decode
// again, while a long animation costs no more than the budget.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace mv::gif {

using Indices = std::shared_ptr<const std::vector<uint8_t>>;

class IndexCache {
public:
    explicit IndexCache(size_t budgetBytes) : budget_(budgetBytes) {}
    // The cached indices of `owner`, decoding them with `decode` when they are not cached.
    Indices get(const void* owner, const std::function<std::vector<uint8_t>()>& decode);
    void forget(const void* owner);
    size_t bytes() const;
    size_t entries() const;

private:
    struct Entry {
        const void* owner;
        Indices indices;
    };
    size_t budget_;
    std::vector<Entry> entries_;  // most recently used last; a handful of entries at most
    size_t bytes_ = 0;
};

// The one cache all GIF pictures share.
IndexCache& indexCache();

}  // namespace mv::gif
