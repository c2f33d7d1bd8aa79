#pragma once
// Pixel memory from the default resource, any single block past `cap` refused: a decoder that
// would allocate a picture its input cannot fill fails the test instead of the machine.
#include <cstddef>
#include <memory_resource>
#include <new>

namespace mv::test {

class CappedMemory final : public std::pmr::memory_resource {
public:
    explicit CappedMemory(size_t cap) : cap_(cap), previous_(std::pmr::set_default_resource(this)) {}
    ~CappedMemory() override { std::pmr::set_default_resource(previous_); }

private:
    void* do_allocate(size_t bytes, size_t align) override {
        if (bytes > cap_) throw std::bad_alloc();
        return previous_->allocate(bytes, align);
    }
    void do_deallocate(void* p, size_t bytes, size_t align) override { previous_->deallocate(p, bytes, align); }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
    size_t cap_;
    std::pmr::memory_resource* previous_;
};

}  // namespace mv::test
