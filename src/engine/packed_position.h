// Packed positions: a piece of the last subject in one 32-bit value, the
// offset in the low 16 bits and the length in the high 16 bits, both modulo
// 65536; -1 means no position. The position text is its text form,
// "offset:length", with the empty text for -1; a text that cannot be read
// back gives -1.
#pragma once

#include <cstdint>

#include "text/string_buffer.h"

constexpr std::int32_t kNoPosition = -1;

// Packs the piece [start, end) of the subject beginning at subjectStart. A
// piece with a null pointer took no part in the match: it has no position.
std::int32_t PackPosition(const char* subjectStart, const char* start, const char* end);

inline std::uint32_t PositionOffset(std::int32_t value) {
    return static_cast<std::uint32_t>(value) & 0xFFFFu;
}
inline std::uint32_t PositionLength(std::int32_t value) {
    return static_cast<std::uint32_t>(value) >> 16;
}

// "65535:65535" and its terminator.
constexpr int kPositionTextSize = 12;

// Writes the position text of `value`, zero-terminated, into `text` and
// answers its length: 0, the empty text, for -1.
std::int32_t FormatPositionText(std::int32_t value, char (&text)[kPositionTextSize]);
std::int32_t ParsePositionText(const char* text);
