// The escapes a substitution's replacement and a translation's lists share
// with Perl's double-quoted strings: \n \t \r \f \e \a, hexadecimal \xHH and
// \x{H...}, octal \NNN (up to three digits) and \o{N...}, control characters
// \cX and code points \N{U+H...}. Each names a character by its number, as
// DecodeCharacter numbers them: the code point in UTF-8, the byte otherwise,
// lead * 256 + second for a Shift_JIS pair.
#pragma once

#include <cstdint>

namespace regexlib {

// Numbers past this saturate, so a long run of digits cannot overflow; it is
// beyond every encoding's characters either way.
constexpr std::uint32_t kLargestEscapedNumber = 0x7FFFFFFF;

// Reads the escape whose first character is at `at` (just past the
// backslash, at < end) into `character` and answers the position after it,
// or null when that character starts none of these escapes.
const char* ReadCharacterEscape(const char* at, const char* end, std::uint32_t& character);

}  // namespace regexlib
