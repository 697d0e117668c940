// Packing, formatting and parsing of positions.
#include "engine/packed_position.h"

#include "platform/decimal_digits.h"
#include "text/char_class.h"

namespace {

std::int32_t Pack(std::uint32_t offset, std::uint32_t length) {
    return static_cast<std::int32_t>((length << 16) | (offset & 0xFFFFu));
}

}  // namespace

std::int32_t PackPosition(const char* subjectStart, const char* start, const char* end) {
    if (start == nullptr || end == nullptr) return kNoPosition;
    // Both numbers keep only their low 16 bits, without any report.
    return Pack(static_cast<std::uint32_t>(start - subjectStart),
                static_cast<std::uint32_t>(end - start));
}

std::int32_t FormatPositionText(std::int32_t value, char (&text)[kPositionTextSize]) {
    if (value == kNoPosition) {
        text[0] = 0;
        return 0;
    }
    char* end = platform::WriteDecimal(text, PositionOffset(value));
    *end++ = ':';
    end = platform::WriteDecimal(end, PositionLength(value));
    *end = 0;
    return static_cast<std::int32_t>(end - text);
}

// Read where the host keeps the text: each number ends at its first byte
// that is no digit, the colon included, so neither side needs a copy.
std::int32_t ParsePositionText(const char* text) {
    const TextSpan position = HostText(text);
    // A colon right after a lead byte is a second byte and is not found.
    const char* colonAt = FindReadableByte(position.text, ':');
    const std::int32_t colon = colonAt == nullptr ? -1 : static_cast<std::int32_t>(colonAt - position.text);
    if (colon <= 0 || colon >= position.length - 1) return kNoPosition;
    const std::int32_t offset = ParseReadableInt(position.text);
    const std::int32_t length = ParseReadableInt(colonAt + 1);
    return Pack(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length));
}
