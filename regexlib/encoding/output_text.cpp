#include "encoding/output_text.h"

#include <algorithm>

namespace regexlib {

void OutputText::Grow(std::size_t capacity) {
    // Doubling keeps a substitution's many small appends linear; `new char[]`
    // leaves the new room uninitialised.
    const std::size_t allocated = std::max(capacity + 1, 2 * allocated_);
    std::unique_ptr<char[]> bytes(new char[allocated]);
    if (size_ != 0) std::memcpy(bytes.get(), bytes_.get(), size_);
    bytes_ = std::move(bytes);
    allocated_ = allocated;
}

}  // namespace regexlib
