// Packing, formatting and parsing of positions.
#include "engine/packed_position.h"

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

namespace {

// Unsigned decimal digits of a 16-bit number, without fill; answers the end.
char* PutDecimal(char* out, std::uint32_t number) {
    char digits[5];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

}  // namespace

// Formatted at every match and every step of a walk, so by hand: a general
// formatter costs more than the search it reports.
std::int32_t FormatPositionText(std::int32_t value, char (&text)[kPositionTextSize]) {
    if (value == kNoPosition) {
        text[0] = 0;
        return 0;
    }
    char* end = PutDecimal(text, PositionOffset(value));
    *end++ = ':';
    end = PutDecimal(end, PositionLength(value));
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
