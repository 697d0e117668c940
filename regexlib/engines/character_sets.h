// Sets of characters as sorted ranges of their numbers (bytes, or Unicode
// code points for UTF-8), for the linear engine, which is handed every class
// written out character by character. What a class escape, a POSIX class or
// a caseless character matches is asked of PCRE2 itself, so that the two
// engines cannot disagree on it: it is run over every character once, and
// the answers for UTF-8 are kept for the process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engines/pattern_engine.h"

namespace regexlib {

class CharacterSet {
public:
    struct Range {
        std::uint32_t first;
        std::uint32_t last;
    };

    void Add(std::uint32_t first, std::uint32_t last);
    void Add(const CharacterSet& other);
    // Every character up to `largest` that is not in this set.
    CharacterSet Complement(std::uint32_t largest) const;
    const std::vector<Range>& Ranges() const { return ranges_; }
    bool HoldsOne() const { return ranges_.size() == 1 && ranges_[0].first == ranges_[0].last; }

    // The set in RE2's syntax: one escaped character, or a bracketed class
    // (an empty one matches nothing). Surrogates are left out, as UTF-8
    // cannot hold them.
    std::string AsRe2() const;

private:
    std::vector<Range> ranges_;  // sorted, disjoint, not adjacent
};

// The largest character of an encoding the linear engine reads: 0xFF for
// bytes, U+10FFFF for UTF-8.
std::uint32_t LargestCharacter(TextEncoding encoding);

// What PCRE2 matches with `item` (a piece of a Perl bracketed class, such as
// "\w", "[:alpha:]", "\p{Greek}" or "a-z") under the flags given. False when
// PCRE2 does not compile it, or the set cannot be made (out of memory).
struct SetFlags {
    TextEncoding encoding = TextEncoding::Bytes;  // Bytes or Utf8
    bool caseless = false;
    int asciiLevel = 0;      // of the group the item stands in
    int outerAscii = 0;      // of the whole pattern (decides PCRE2's UCP on bytes)
};
bool SetOfClassItem(const std::string& item, const SetFlags& flags, CharacterSet& set);

}  // namespace regexlib
