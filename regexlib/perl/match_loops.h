// The loops over a subject's matches behind Perl's substitution and split,
// written once over the PatternEngine interface. They read the caller's
// subject in place and write into buffers the caller owns; each answers -1
// (with the engine's message) when the engine fails, e.g. when a match limit
// is reached.
#pragma once

#include <string>
#include <vector>

#include "encoding/output_text.h"
#include "engines/pattern_engine.h"
#include "perl/replacement.h"

namespace regexlib {

// Substitutes the first match, or every match with `global`, into `out`
// (the whole resulting text) and answers the number of substitutions. After
// an empty match the next one may not be empty at the same place, as in Perl.
int SubstituteMatches(PatternEngine& engine, const ReplacementProgram& replacement, bool global,
                      const char* begin, const char* end, OutputText& out, std::string& message);

// Perl's split: pieces as (start, end) pointer pairs into the subject, the
// captured groups of each separator as extra pieces (an idle group gives an
// empty piece at its separator's start). limit > 0 gives at most that many
// pieces, 0 drops trailing empty pieces, < 0 keeps them. Answers the number
// of pieces.
int SplitPieces(PatternEngine& engine, const char* begin, const char* end, int limit,
                std::vector<char*>& pairs, std::string& message);

// The same split for a separator that is one literal byte, with memchr.
int SplitOnByte(char separator, const char* begin, const char* end, int limit,
                std::vector<char*>& pairs);

}  // namespace regexlib
