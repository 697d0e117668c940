#include "perl/character_escapes.h"

namespace regexlib {
namespace {

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

std::uint32_t AppendDigit(std::uint32_t number, int digit, int base) {
    const std::uint64_t grown = std::uint64_t{number} * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    return grown > kLargestEscapedNumber ? kLargestEscapedNumber : static_cast<std::uint32_t>(grown);
}

// The digits of \x{...} or \o{...}; `at` is just past the '{'. Perl skips
// what is not a digit inside the braces, and so does this.
const char* ReadBracedNumber(const char* at, const char* end, int base, std::uint32_t& number) {
    number = 0;
    for (; at < end && *at != '}'; ++at) {
        const int digit = DigitValue(*at, base);
        if (digit >= 0) number = AppendDigit(number, digit, base);
    }
    return at < end ? at + 1 : at;
}

// Up to `digits` digits; none at all is the number 0, as Perl reads "\x".
const char* ReadShortNumber(const char* at, const char* end, int base, int digits, std::uint32_t& number) {
    number = 0;
    for (int read = 0; read < digits && at < end && DigitValue(*at, base) >= 0; ++read, ++at) {
        number = AppendDigit(number, DigitValue(*at, base), base);
    }
    return at;
}

bool ControlCharacter(char c, std::uint32_t& character) {
    switch (c) {
        case 'n': character = '\n'; return true;
        case 't': character = '\t'; return true;
        case 'r': character = '\r'; return true;
        case 'f': character = '\f'; return true;
        case 'e': character = 0x1B; return true;
        case 'a': character = 0x07; return true;
        default: return false;
    }
}

// \cX: the control character of X, as Perl makes it: X in upper case with
// bit 6 flipped (\c@ is 0, \cA and \ca 1, \c? 127). X is printable ASCII.
const char* ReadControlEscape(const char* at, const char* end, std::uint32_t& character) {
    if (at >= end || *at < ' ' || *at > '~') return nullptr;
    const char letter = *at >= 'a' && *at <= 'z' ? static_cast<char>(*at - 32) : *at;
    character = static_cast<std::uint32_t>(letter) ^ 0x40;
    return at + 1;
}

// \N{U+263A}: a code point by its hexadecimal number; `at` is just past the
// 'N'. Character names (\N{WHITE SMILING FACE}) are not read.
const char* ReadNamedCodePoint(const char* at, const char* end, std::uint32_t& character) {
    if (end - at < 4 || at[0] != '{' || at[1] != 'U' || at[2] != '+' || DigitValue(at[3], 16) < 0) return nullptr;
    const char* after = ReadShortNumber(at + 3, end, 16, 8, character);
    return after < end && *after == '}' ? after + 1 : nullptr;
}

}  // namespace

const char* ReadCharacterEscape(const char* at, const char* end, std::uint32_t& character) {
    if (ControlCharacter(*at, character)) return at + 1;
    if (*at == 'x' && at + 1 < end && at[1] == '{') return ReadBracedNumber(at + 2, end, 16, character);
    if (*at == 'x') return ReadShortNumber(at + 1, end, 16, 2, character);
    if (*at == 'o' && at + 1 < end && at[1] == '{') return ReadBracedNumber(at + 2, end, 8, character);
    if (DigitValue(*at, 8) >= 0) return ReadShortNumber(at, end, 8, 3, character);
    if (*at == 'c') return ReadControlEscape(at + 1, end, character);
    if (*at == 'N') return ReadNamedCodePoint(at + 1, end, character);
    return nullptr;
}

}  // namespace regexlib
