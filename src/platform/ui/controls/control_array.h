#pragma once
// An indexed group of controls of one kind addressed by a 16-bit index. Element 0 exists from
// the start; further elements are created at run time as hidden copies of element 0.
#include <map>
#include <memory>
#include <string>

#include "platform/error.h"

namespace mv {

template <class T>
class ControlArray {
public:
    explicit ControlArray(std::string name) : name_(std::move(name)) {
        elements_.emplace(0, std::make_unique<T>(name_ + "(0)"));
    }

    int Count() const { return static_cast<int>(elements_.size()); }

    T& operator()(long index) {
        checkRange(index);
        auto it = elements_.find(static_cast<int>(index));
        if (it == elements_.end()) throw PlatformError(ErrElementMissing, "Control array element does not exist");
        return *it->second;
    }

    // Creates element `index` as a hidden copy of element 0.
    T& Load(long index) {
        checkRange(index);
        if (elements_.count(static_cast<int>(index))) throw PlatformError(ErrElementExists, "Element already exists");
        auto element = std::make_unique<T>(name_ + "(" + std::to_string(index) + ")");
        element->copyDesignFrom(*elements_.at(0));
        T& ref = *element;
        elements_.emplace(static_cast<int>(index), std::move(element));
        return ref;
    }

    // Removes element `index`; element 0, being part of the design, cannot be removed.
    void Unload(long index) {
        checkRange(index);
        if (index == 0) throw PlatformError(ErrElementMissing, "Element 0 cannot be removed");
        if (!elements_.erase(static_cast<int>(index))) throw PlatformError(ErrElementMissing, "Control array element does not exist");
    }

private:
    static void checkRange(long index) {
        if (index < -32768 || index > 32767) throw PlatformError(ErrOverflow, "Overflow");
        if (index < 0) throw PlatformError(ErrElementMissing, "Control array element does not exist");
    }

    std::string name_;
    std::map<int, std::unique_ptr<T>> elements_;
};

}  // namespace mv
