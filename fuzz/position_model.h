// The position text rules written out a second time, plainly, for the
// fuzzers to check the module against: "offset:length", the first colon
// that is not the second byte of a double-byte character, a digit run on
// each side, 16 bits each; -1 for a text that names no position.
#pragma once

#include <cstdint>
#include <string>

namespace model {

constexpr std::int32_t kNoPosition = -1;

inline bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFB);
}

inline std::uint32_t ReadSide(const std::string& side) {
    std::size_t at = 0;
    while (at < side.size() && (side[at] == ' ' || (side[at] >= 0x09 && side[at] <= 0x0D))) ++at;
    const bool negative = at < side.size() && side[at] == '-';
    if (negative) ++at;
    std::uint32_t value = 0;
    for (; at < side.size() && side[at] >= '0' && side[at] <= '9'; ++at) {
        value = value * 10u + static_cast<std::uint32_t>(side[at] - '0');
    }
    return negative ? 0u - value : value;
}

inline std::int32_t ParsePosition(const std::string& text) {
    std::size_t colon = std::string::npos;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == ':') {
            colon = at;
            break;
        }
        if (IsLeadByte(static_cast<unsigned char>(text[at]))) ++at;
    }
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return kNoPosition;
    const std::uint32_t offset = ReadSide(text.substr(0, colon));
    const std::uint32_t length = ReadSide(text.substr(colon + 1));
    return static_cast<std::int32_t>((length << 16) | (offset & 0xFFFFu));
}

inline std::string FormatPosition(std::int32_t value) {
    if (value == kNoPosition) return "";
    const auto bits = static_cast<std::uint32_t>(value);
    return std::to_string(bits & 0xFFFFu) + ":" + std::to_string(bits >> 16);
}

inline std::uint32_t Offset(std::int32_t value) { return static_cast<std::uint32_t>(value) & 0xFFFFu; }
inline std::uint32_t Length(std::int32_t value) { return static_cast<std::uint32_t>(value) >> 16; }

}  // namespace model
