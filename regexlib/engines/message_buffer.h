// The message buffer every entry point is given: kMessageBufferSize bytes,
// or null. A text is cut to fit and always left zero-terminated.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "bregexp.h"

namespace regexlib {

inline void WriteMessage(char* buffer, const std::string& text) {
    if (buffer == nullptr) return;
    const std::size_t length = std::min(text.size(), kMessageBufferSize - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

// A success leaves the empty message: one byte, no text to build.
inline void ClearMessage(char* buffer) {
    if (buffer != nullptr) buffer[0] = '\0';
}

}  // namespace regexlib
