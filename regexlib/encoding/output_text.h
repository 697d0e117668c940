// A text written byte by byte: a record's output (a substitution's or a
// translation's, which the record publishes zero-terminated), or a
// Shift_JIS text converted to UTF-8. Unlike std::string it hands out room
// without zero-filling it, so a translation writes each output byte once.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>

namespace regexlib {

class OutputText {
public:
    void Clear() { size_ = 0; }

    // Room for at least `capacity` bytes, kept across Clear.
    void Reserve(std::size_t capacity) {
        if (capacity >= allocated_) Grow(capacity);
    }

    // Makes room for `count` more bytes and answers where they go: the
    // caller writes every one of them, or gives back the rest with Truncate.
    char* Extend(std::size_t count) {
        Reserve(size_ + count);
        char* room = bytes_.get() + size_;
        size_ += count;
        return room;
    }

    // One byte, the common case of a translation, is stored without memcpy.
    void Append(const char* bytes, std::size_t count) {
        if (count == 1) {
            *Extend(1) = *bytes;
        } else if (count != 0) {
            std::memcpy(Extend(count), bytes, count);
        }
    }

    void Truncate(std::size_t size) { size_ = size; }

    std::size_t size() const { return size_; }
    const char* data() const { return allocated_ == 0 ? "" : bytes_.get(); }

    // Whether the text holds a NUL byte, where its zero-terminated form
    // would seem to end.
    bool HoldsNul() const { return std::memchr(data(), '\0', size_) != nullptr; }

    // The text with a zero after it, for the record's outputText.
    char* Terminated() {
        if (allocated_ == 0) return &emptyText_;
        bytes_[size_] = '\0';
        return bytes_.get();
    }

private:
    void Grow(std::size_t capacity);

    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t allocated_ = 0;  // always more than size_ once allocated: room for the zero
    char emptyText_ = '\0';      // what a record that never wrote publishes
};

}  // namespace regexlib
