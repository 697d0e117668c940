// The fixed 256-entry character class table and the byte-string routines
// over zero-terminated texts that StringBuffer's Compare and Find rest on.
// Null or unreadable texts give 0 (ParseInt, CompareN, CompareNoCaseN) or
// null (FindByte); nothing is reported otherwise.
#pragma once

#include <cstdint>

enum CharClassBit : std::uint8_t {
    kLowerCase = 0x01,
    kUpperCase = 0x02,
    kDecimalDigit = 0x04,
    kHexDigit = 0x08,
    kWhiteSpace = 0x10,
    kLeadByte = 0x20,      // first byte of a Shift_JIS double-byte character
    kSecondByte = 0x40,    // possible second byte of one
    kPrintable = 0x80,     // white space or 0x20 to 0xFB
};

extern const std::uint8_t charClass[256];

inline bool HasClass(char byte, std::uint8_t bits) {
    return (charClass[static_cast<std::uint8_t>(byte)] & bits) != 0;
}

// The routines below take outside texts and probe them first; the
// Readable variants are for the module's own texts, which need no probe.

// The decimal number at the start of text (white space and one '-' allowed
// before it), wrapping around in 32 bits; 0 when there is none.
std::int32_t ParseInt(const char* text);
std::int32_t ParseReadableInt(const char* text);
// Difference of the first differing bytes (as signed 8-bit values) within
// the first n bytes; a count below 1 still compares the first bytes.
std::int32_t CompareN(const char* a, const char* b, std::int32_t n);
// The same with a-z folded to A-Z.
std::int32_t CompareNoCaseN(const char* a, const char* b, std::int32_t n);
// The first occurrence of c at a character start, stepping over the second
// byte of every double-byte character; null when absent.
const char* FindByte(const char* text, char c);
const char* FindReadableByte(const char* text, char c);
