// The character class table and the byte-string routines.
#include "text/char_class.h"

#include "platform/platform.h"
#include "text/string_buffer.h"

// Sixteen bytes a row; see CharClassBit for the meaning of each bit.
const std::uint8_t charClass[256] = {
    /* 00 */ 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0x90, 0x90, 0x90, 0x90, 0x00, 0x00,
    /* 10 */ 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    /* 20 */ 0x90, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
    /* 30 */ 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x8C, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
    /* 40 */ 0xC0, 0xCA, 0xCA, 0xCA, 0xCA, 0xCA, 0xCA, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2,
    /* 50 */ 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC2, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
    /* 60 */ 0xC0, 0xC9, 0xC9, 0xC9, 0xC9, 0xC9, 0xC9, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1,
    /* 70 */ 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC1, 0xC0, 0xC0, 0xC0, 0xC0, 0x80,
    /* 80 */ 0xC0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0,
    /* 90 */ 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0,
    /* A0 */ 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
    /* B0 */ 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
    /* C0 */ 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
    /* D0 */ 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0,
    /* E0 */ 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0,
    /* F0 */ 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0xE0, 0x00, 0x00, 0x00, 0x00,
};

namespace {

std::int32_t Signed(char byte) { return static_cast<std::int8_t>(byte); }

// a-z become A-Z (a positive value); every other byte is taken as signed.
std::int32_t Folded(char byte) {
    return HasClass(byte, kLowerCase) ? (static_cast<std::uint8_t>(byte) & 0x5F) : Signed(byte);
}

template <typename Map>
std::int32_t CompareMapped(const char* a, const char* b, std::int32_t n, Map map) {
    if (!IsReadableText(a) || !IsReadableText(b)) return 0;
    for (std::int64_t k = std::int64_t{n} - 1; k > 0 && *a != 0 && *b != 0 && map(*a) == map(*b); --k) {
        ++a;
        ++b;
    }
    return map(*a) - map(*b);
}

}  // namespace

std::int32_t ParseInt(const char* text) {
    return IsReadableText(text) ? ParseReadableInt(text) : 0;
}

std::int32_t ParseReadableInt(const char* text) {
    while (HasClass(*text, kWhiteSpace)) ++text;
    const bool negative = *text == '-';
    if (negative) ++text;
    std::uint32_t value = 0;
    for (; HasClass(*text, kDecimalDigit); ++text) value = value * 10 + (*text - '0');
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

std::int32_t CompareN(const char* a, const char* b, std::int32_t n) {
    return CompareMapped(a, b, n, Signed);
}

std::int32_t CompareNoCaseN(const char* a, const char* b, std::int32_t n) {
    return CompareMapped(a, b, n, Folded);
}

const char* FindByte(const char* text, char c) {
    return IsReadableText(text) ? FindReadableByte(text, c) : nullptr;
}

const char* FindReadableByte(const char* text, char c) {
    if (c == 0) return text + platform::lstrlenA(text);
    for (; *text != 0; ++text) {
        if (*text == c) return text;
        // The byte after a lead byte is its second byte, never compared; a
        // lead byte right before the terminator ends the search there.
        if (HasClass(*text, kLeadByte) && *++text == 0) return nullptr;
    }
    return nullptr;
}

// ---- StringBuffer operations that stand on the table ----

std::int32_t StringBuffer::Compare(const char* other, std::int32_t caseSensitive,
                                   std::int32_t count) {
    if (!IsReadableText(other)) return Signed(rep->chars[0]);
    return CompareReadable(other, caseSensitive, count);
}

std::int32_t StringBuffer::Compare(const StringBuffer& other, std::int32_t caseSensitive,
                                   std::int32_t count) {
    return CompareReadable(other.GetText(), caseSensitive, count);
}

std::int32_t StringBuffer::CompareReadable(const char* other, std::int32_t caseSensitive,
                                           std::int32_t count) {
    ResyncIfNeeded();
    if (count < 0) {
        return caseSensitive != 0 ? platform::lstrcmpA(rep->chars, other)
                                  : platform::lstrcmpiA(rep->chars, other);
    }
    return caseSensitive != 0 ? CompareN(rep->chars, other, count)
                              : CompareNoCaseN(rep->chars, other, count);
}

std::int32_t StringBuffer::Find(char c) {
    ResyncIfNeeded();
    const char* found = FindReadableByte(rep->chars, c);
    return found == nullptr ? -1 : static_cast<std::int32_t>(found - rep->chars);
}
