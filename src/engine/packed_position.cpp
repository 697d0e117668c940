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

std::int32_t ParsePositionText(const char* text) {
    StringBuffer position(text, -1, 2);
    // A colon right after a lead byte is a second byte and is not found.
    const std::int32_t colon = position.Find(':');
    if (colon <= 0 || colon >= position.GetLength() - 1) return kNoPosition;
    const std::int32_t offset = ParseReadableInt(position.Mid(0, colon).GetText());
    const std::int32_t length = ParseReadableInt(position.Mid(colon + 1, -1).GetText());
    return Pack(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length));
}
