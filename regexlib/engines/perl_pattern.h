// Perl's pattern syntax where PCRE2 would read it with another meaning. The
// pattern is rewritten into PCRE2's form of such a construct where one
// exists; a construct PCRE2 cannot run as perl does is refused with a
// message that names it. Everything else is handed on as written, and
// PCRE2 reports its own syntax errors.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engines/pattern_engine.h"

namespace regexlib {

// The pattern for PCRE2, and where its pieces came from in perl's.
struct TranslatedPattern {
    std::string text;
    // (offset in text, offset in perl's pattern) where a rewritten piece
    // starts or ends, ascending.
    std::vector<std::pair<std::size_t, std::size_t>> marks;
    // Whether a condition (?(N)...) names a group by number.
    bool hasNumberedCondition = false;
    // (name, the group's first name) for a name that a branch reset lets
    // stand for a group already named otherwise.
    std::vector<std::pair<std::string, std::string>> aliases;

    // The offset in perl's pattern of the piece holding `offset` of text,
    // so that PCRE2's messages point into what the caller wrote.
    std::size_t OriginalOffset(std::size_t offset) const;
};

// False with a message when the pattern holds a construct that is refused.
// `groupCount`, when known, is the number of the pattern's groups: a
// condition on a group beyond it is written as false, as perl takes it.
// With -1 such conditions are left for PCRE2.
bool TranslatePerlPattern(const std::string& pattern, const PatternOptions& options, TranslatedPattern& translated,
                          std::string& message, int groupCount = -1);

}  // namespace regexlib
