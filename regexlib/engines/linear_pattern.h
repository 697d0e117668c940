// A Perl pattern written out for RE2, the linear-time engine, from our own
// reading of it: every character, class and case fold spelled out, so that
// RE2 runs case-sensitive and without classes of its own, and answers as
// PCRE2 does on the same pattern. A pattern that is not regular, or holds a
// construct whose meaning the two engines could not share, is declined with
// the reason; the reader never guesses.
#pragma once

#include <string>

#include "engines/pattern_engine.h"

namespace regexlib {

struct LinearPattern {
    // Why the pattern is declined; empty when it was written out.
    std::string declined;
    // The pattern for RE2 with perl's $ (and \Z) written as \z, for a subject
    // that does not end in "\n", and as RE2's multi-line $, for one whose
    // only "\n" is its last byte. Another subject cannot be searched.
    std::string endAtEnd;
    std::string endAtNewline;
    bool hasDollar = false;
    // RE2's multi-line ^ matches after a final "\n"; PCRE2's does not.
    bool hasMultilineCaret = false;
    // \b or \B with Unicode's word characters: RE2's are ASCII's, so the
    // subject must be ASCII.
    bool hasUnicodeBoundary = false;
    // False when a loop repeats something that can match empty: RE2 then
    // may end the match or fill groups otherwise, though where a match
    // starts, and whether there is one, stay the same.
    bool groupsExact = true;
    int groupCount = 0;
};

// Reads a pattern of bytes (RE2's Latin-1) or UTF-8; Shift_JIS patterns come
// here converted. The options are the pattern's flags, as for PCRE2.
LinearPattern ReadLinearPattern(const std::string& pattern, const PatternOptions& options);

}  // namespace regexlib
