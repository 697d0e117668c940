// OwningPointer: a pointer paired with a 32-bit flag that every store sets to
// 1; replacing or destroying it frees the object only while the flag is set
// and the pointer is not null. Holds the engine binding and the result set.
#pragma once

#include <cstdint>

template <typename T>
class OwningPointer {
public:
    OwningPointer() = default;
    OwningPointer(const OwningPointer&) = delete;
    OwningPointer& operator=(const OwningPointer&) = delete;
    ~OwningPointer() { Free(); }

    void Replace(T* replacement) {
        Free();
        pointer = replacement;
        owns = 1;
    }

    T* Get() const { return pointer; }
    T* operator->() const { return pointer; }

    T* pointer = nullptr;
    std::int32_t owns = 1;

private:
    void Free() {
        if (owns != 0 && pointer != nullptr) delete pointer;
    }
};
