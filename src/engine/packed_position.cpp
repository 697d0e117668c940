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

StringBuffer FormatPositionText(std::int32_t value) {
    if (value == kNoPosition) return emptyString;
    StringBuffer text(16);
    text.AppendNumber(PositionOffset(value)).AppendChar(':').AppendNumber(PositionLength(value));
    return text;
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
