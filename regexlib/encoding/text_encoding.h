// encoding/ is the library's lowest layer: how a text is cut into
// characters and numbered (this header), Windows' Shift_JIS (cp932) and its
// conversion to UTF-8 (shift_jis_unicode.h over the generated
// shift_jis_table.cpp), perl's Unicode case mappings as tables
// (unicode_case_tables.inc), and OutputText, the text the layers above write
// into. It builds on the C++ library alone; the engines, Perl's operators
// and the entry points all use it. The tables are written from perl by
// make_shift_jis_table.pl and make_case_tables.pl beside them, and a test
// of each regenerates its table and compares it with the checked-in one.
//
// How a text is cut into characters: plain bytes, UTF-8, or Shift_JIS. The
// Shift_JIS knowledge is data (lead-byte and second-byte tables) that every
// scanner of patterns, replacements and translation lists steps with. Pure
// functions over caller-owned bytes; a malformed sequence counts as one byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace regexlib {

enum class TextEncoding { Bytes, Utf8, ShiftJis };

namespace shift_jis_bytes {

struct ByteRange {
    unsigned char first;
    unsigned char last;
};

// The ranges are the whole Shift_JIS definition; the tables below are built
// from them once, at compile time.
constexpr ByteRange kLeadRanges[] = {{0x81, 0x9F}, {0xE0, 0xFC}};
constexpr ByteRange kSecondRanges[] = {{0x40, 0x7E}, {0x80, 0xFC}};

template <std::size_t N>
constexpr std::array<bool, 256> TableFromRanges(const ByteRange (&ranges)[N]) {
    std::array<bool, 256> table{};
    for (const ByteRange& range : ranges) {
        for (int byte = range.first; byte <= range.last; ++byte) table[byte] = true;
    }
    return table;
}

inline constexpr std::array<bool, 256> kLead = TableFromRanges(kLeadRanges);
inline constexpr std::array<bool, 256> kSecond = TableFromRanges(kSecondRanges);

}  // namespace shift_jis_bytes

// Shift_JIS double-byte characters: a lead byte 0x81-0x9F or 0xE0-0xFC
// followed by a second byte 0x40-0x7E or 0x80-0xFC. Inline, for the loops
// that convert Shift_JIS texts.
inline bool IsShiftJisLeadByte(unsigned char byte) { return shift_jis_bytes::kLead[byte]; }
inline bool IsShiftJisSecondByte(unsigned char byte) { return shift_jis_bytes::kSecond[byte]; }

// Length in bytes of the character starting at `at` (at < end). A truncated
// or malformed sequence is one byte long, so a scanner always advances.
std::size_t CharacterLength(TextEncoding encoding, const char* at, const char* end);

// True when [begin, end) is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF). On failure `badOffset` names the byte.
bool IsValidUtf8(const char* begin, const char* end, std::size_t* badOffset);

// A character as one number: the byte for a single byte, the code point for
// UTF-8, lead * 256 + second for a Shift_JIS double-byte character. Decoding
// advances `at` past the character; encoding writes at most
// kLongestCharacter bytes to `into` and answers how many.
constexpr std::size_t kLongestCharacter = 4;
std::uint32_t DecodeCharacter(TextEncoding encoding, const char*& at, const char* end);
std::size_t EncodeCharacter(TextEncoding encoding, std::uint32_t character, char* into);

// True when EncodeCharacter writes `character` as one whole character: a
// byte; in UTF-8 a Unicode scalar value (no surrogate U+D800..U+DFFF,
// nothing above U+10FFFF); in Shift_JIS a byte or a valid double-byte pair.
bool IsEncodable(TextEncoding encoding, std::uint32_t character);

// The character an escape such as \x{30A2} names, as perl reads it on the
// decoded text: the escape's number is a Unicode code point (a byte in byte
// mode). Answers false when the encoding cannot write that character: a code
// point above 0xFF in bytes, a surrogate or one above U+10FFFF in UTF-8, one
// Windows' Shift_JIS (cp932) has no character for under Shift_JIS.
bool CharacterOfCodePoint(TextEncoding encoding, std::uint32_t codePoint, std::uint32_t& character);

}  // namespace regexlib
