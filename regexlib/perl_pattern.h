// Perl's pattern syntax where PCRE2 would read it with another meaning. The
// pattern is rewritten into PCRE2's form of such a construct where one
// exists; a construct PCRE2 cannot run as perl does is refused with a
// message that names it. Everything else is handed on as written, and
// PCRE2 reports its own syntax errors.
#pragma once

#include <string>

#include "pattern_engine.h"

namespace regexlib {

// `translated` receives the pattern for PCRE2; false with a message when
// the pattern holds a construct that is refused.
bool TranslatePerlPattern(const std::string& pattern, const PatternOptions& options, std::string& translated,
                          std::string& message);

}  // namespace regexlib
