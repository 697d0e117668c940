// Position texts: any text the host hands back is parsed as the module reads
// it, checked against a second, plain reading of the same rules, and every
// position it yields formats to a text that parses back to the same value.
// Any 32-bit value also formats and parses back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/packed_position.h"
#include "position_model.h"

namespace {

void Fail(const char* what, const std::string& text, std::int32_t got, std::int32_t wanted) {
    std::fprintf(stderr, "position text: %s for \"%s\": got %08x, wanted %08x\n", what,
                 text.c_str(), static_cast<unsigned>(got), static_cast<unsigned>(wanted));
    std::abort();
}

void CheckRoundTrip(std::int32_t value) {
    char text[kPositionTextSize];
    const std::int32_t length = FormatPositionText(value, text);
    const std::string formatted = text;
    if (formatted != model::FormatPosition(value)) Fail("wrong format", formatted, value, value);
    if (static_cast<std::size_t>(length) != formatted.size()) {
        Fail("length differs from text", formatted, length, static_cast<std::int32_t>(formatted.size()));
    }
    const std::int32_t back = ParsePositionText(text);
    if (back != value) Fail("no round trip", formatted, back, value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The host's text ends at its first zero byte.
    const std::string text(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    const std::int32_t parsed = ParsePositionText(text.c_str());
    const std::int32_t expected = model::ParsePosition(text);
    if (parsed != expected) Fail("wrong parse", text, parsed, expected);
    CheckRoundTrip(parsed);

    // The first four bytes as a packed value of their own.
    if (size >= 4) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        CheckRoundTrip(static_cast<std::int32_t>(bits));
    }
    return 0;
}
