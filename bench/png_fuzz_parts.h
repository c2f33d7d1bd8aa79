#pragma once
// Shared by the PNG and APNG fuzz targets: the pixel memory they watch, and the chunks they
// write into the files they make from their inputs.
#include <cstdint>
#include <memory_resource>
#include <vector>

#include "fuzz_budget.h"
#include "platform/picture/inflate.h"

namespace mv::fuzz {

using Bytes = std::vector<uint8_t>;

struct OverBudget {};

// Pixel memory, which the reader takes only once its bound lets the picture through. A picture
// past the fuzz budget is not decoded (more of the same pixels, as in fuzz_budget.h); one larger
// than the input could fill even at a pixel to a bit means the bound failed.
class PixelMemory final : public std::pmr::memory_resource {
public:
    size_t inputSize = 0;

private:
    void* do_allocate(size_t bytes, size_t align) override {
        if (bytes > 32 * Inflater::mostOutput(inputSize)) __builtin_trap();
        if (bytes > sizeof(uint32_t) * kFuzzPixels) throw OverBudget{};
        return std::pmr::new_delete_resource()->allocate(bytes, align);
    }
    void do_deallocate(void* p, size_t bytes, size_t align) override {
        std::pmr::new_delete_resource()->deallocate(p, bytes, align);
    }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

inline void put32(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

inline void chunk(Bytes& out, const char* type, const uint8_t* data, size_t size) {
    put32(out, static_cast<uint32_t>(size));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    put32(out, 0);  // the reader does not check sums
}

}  // namespace mv::fuzz
