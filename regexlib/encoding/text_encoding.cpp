#include "encoding/text_encoding.h"

#include "encoding/shift_jis_unicode.h"

namespace regexlib {
namespace {

using shift_jis_bytes::kLead;
using shift_jis_bytes::kSecond;

// Bytes a UTF-8 lead byte announces; 0 for a byte that cannot start one.
constexpr std::array<unsigned char, 256> MakeUtf8Lengths() {
    std::array<unsigned char, 256> lengths{};
    for (int byte = 0x00; byte <= 0x7F; ++byte) lengths[byte] = 1;
    for (int byte = 0xC2; byte <= 0xDF; ++byte) lengths[byte] = 2;
    for (int byte = 0xE0; byte <= 0xEF; ++byte) lengths[byte] = 3;
    for (int byte = 0xF0; byte <= 0xF4; ++byte) lengths[byte] = 4;
    return lengths;
}

constexpr std::array<unsigned char, 256> kUtf8Length = MakeUtf8Lengths();

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of a well-formed UTF-8 sequence at `at`, or 0.
std::size_t Utf8SequenceLength(const unsigned char* at, const unsigned char* end) {
    const std::size_t length = kUtf8Length[at[0]];
    if (length == 0 || static_cast<std::size_t>(end - at) < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(at[i])) return 0;
    }
    // The second byte bounds exclude overlong forms, surrogates and > U+10FFFF.
    if (at[0] == 0xE0 && at[1] < 0xA0) return 0;
    if (at[0] == 0xED && at[1] > 0x9F) return 0;
    if (at[0] == 0xF0 && at[1] < 0x90) return 0;
    if (at[0] == 0xF4 && at[1] > 0x8F) return 0;
    return length;
}

}  // namespace

std::size_t CharacterLength(TextEncoding encoding, const char* at, const char* end) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    switch (encoding) {
        case TextEncoding::Bytes:
            return 1;
        case TextEncoding::ShiftJis:
            if (end - at >= 2 && kLead[bytes[0]] && kSecond[bytes[1]]) return 2;
            return 1;
        case TextEncoding::Utf8: {
            const std::size_t length =
                Utf8SequenceLength(bytes, reinterpret_cast<const unsigned char*>(end));
            return length == 0 ? 1 : length;
        }
    }
    return 1;
}

bool IsValidUtf8(const char* begin, const char* end, std::size_t* badOffset) {
    const auto* at = reinterpret_cast<const unsigned char*>(begin);
    const auto* stop = reinterpret_cast<const unsigned char*>(end);
    while (at < stop) {
        // ASCII runs are the common case; skip them without the table.
        if (at[0] < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(at, stop);
        if (length == 0) {
            if (badOffset != nullptr) *badOffset = static_cast<std::size_t>(at - reinterpret_cast<const unsigned char*>(begin));
            return false;
        }
        at += length;
    }
    return true;
}

std::uint32_t DecodeCharacter(TextEncoding encoding, const char*& at, const char* end) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(at);
    const std::size_t length = CharacterLength(encoding, at, end);
    at += length;
    if (length == 1) return bytes[0];
    if (encoding == TextEncoding::ShiftJis) return (std::uint32_t{bytes[0]} << 8) | bytes[1];
    std::uint32_t character = bytes[0] & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) character = (character << 6) | (bytes[i] & 0x3F);
    return character;
}

std::size_t EncodeCharacter(TextEncoding encoding, std::uint32_t character, char* into) {
    if (encoding == TextEncoding::ShiftJis && character > 0xFF) {
        into[0] = static_cast<char>(character >> 8);
        into[1] = static_cast<char>(character & 0xFF);
        return 2;
    }
    if (encoding != TextEncoding::Utf8 || character < 0x80) {
        into[0] = static_cast<char>(character);
        return 1;
    }
    // Lead byte, then six bits a byte from the highest down.
    const std::size_t length = character < 0x800 ? 2 : character < 0x10000 ? 3 : 4;
    constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    into[0] = static_cast<char>(kLeadMarks[length] | (character >> (6 * (length - 1))));
    for (std::size_t i = 1; i < length; ++i) {
        into[i] = static_cast<char>(0x80 | ((character >> (6 * (length - 1 - i))) & 0x3F));
    }
    return length;
}

bool IsEncodable(TextEncoding encoding, std::uint32_t character) {
    switch (encoding) {
        case TextEncoding::Bytes:
            return character <= 0xFF;
        case TextEncoding::Utf8:
            return character <= 0x10FFFF && (character < 0xD800 || character > 0xDFFF);
        case TextEncoding::ShiftJis:
            if (character <= 0xFF) return true;
            return character <= 0xFFFF && kLead[character >> 8] && kSecond[character & 0xFF];
    }
    return false;
}

bool CharacterOfCodePoint(TextEncoding encoding, std::uint32_t codePoint, std::uint32_t& character) {
    if (encoding == TextEncoding::ShiftJis) return UnicodeToShiftJis(codePoint, character);
    character = codePoint;
    return IsEncodable(encoding, codePoint);
}

}  // namespace regexlib
