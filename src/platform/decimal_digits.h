// Decimal digits written by hand. Every position text holds two numbers and
// is written at every match and every step of a walk: a general formatter
// (snprintf, wsprintfA) costs more than the search it reports.
#pragma once

#include <cstdint>

namespace platform {

// Writes the unsigned decimal digits of `number` at `out`, without fill or
// terminator, and answers the end: at most 10 bytes.
inline char* WriteDecimal(char* out, std::uint32_t number) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0) *out++ = digits[--count];
    return out;
}

}  // namespace platform
