// A zero-terminated copy of a text, kept inside the object when it fits.
// Declared as a local variable, it puts the text on the calling thread's
// stack, which the module reads without first asking the kernel whether it
// may: a filter hands it every line that way. A longer text goes to the
// heap and costs the module's check.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t Capacity>
class StackText {
public:
    StackText() = default;
    StackText(const StackText&) = delete;
    StackText& operator=(const StackText&) = delete;

    // The copy, valid until the next Set.
    const char* Set(std::string_view text) {
        if (text.size() < Capacity) {
            std::memcpy(inside, text.data(), text.size());
            inside[text.size()] = 0;
            return inside;
        }
        longer.assign(text);
        return longer.c_str();
    }

private:
    char inside[Capacity];
    std::string longer;
};
