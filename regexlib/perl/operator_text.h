// perl/ holds Perl's operators m//, s/// and tr/// as bregexp.dll's callers
// write them: the operator text cut into its parts (this header), a
// substitution's replacement with its escapes and case operators, a
// translation's lists and table, and the loops of substitution and split
// over the matches of a subject. It builds on encoding/ for characters and
// on engines/ for searching, and knows nothing of the bregexp record: the
// entry points (abi/) compile its parts into a record and run them.
//
// The operator text a caller hands in: m/PATTERN/FLAGS (or /PATTERN/),
// s/PATTERN/REPLACEMENT/FLAGS, tr/SEARCH/REPLACE/FLAGS and y///. Parsing cuts
// it into its parts and flags without reading the parts' syntax; on failure it
// answers false with a short message and the result only partly filled.
#pragma once

#include <string>

#include "encoding/text_encoding.h"

namespace regexlib {

enum class OperatorKind { Match, Substitute, Translate };

struct OperatorFlags {
    bool global = false;           // g: every match of a substitution
    bool caseless = false;         // i
    bool multiline = false;        // m: ^ and $ at line ends
    bool dotAll = false;           // s on m// and s///: . matches a newline
    bool extended = false;         // x
    bool extendedMore = false;     // xx: blanks in bracketed classes ignored too
    bool noAutoCapture = false;    // n: plain groups do not capture
    int asciiLevel = 0;            // a (1) or aa (2), as PatternOptions reads it
    bool complement = false;       // c on tr///
    bool deleteUnmatched = false;  // d on tr///
    bool squeeze = false;          // s on tr///
    TextEncoding encoding = TextEncoding::Bytes;  // k: Shift_JIS, u: UTF-8
};

struct ParsedOperator {
    OperatorKind kind = OperatorKind::Match;
    // The pattern, or a translation's search list. As in Perl, a backslash
    // before a delimiter that is not a bracket is dropped, so the delimiter
    // keeps its meaning there (m|a\|b| is an alternation); other backslashes,
    // and those before a bracketing delimiter, are kept.
    std::string pattern;
    // A substitution's replacement or a translation's replacement list.
    std::string replacement;
    // s'PATTERN'REPLACEMENT': the replacement is a single-quoted text, with
    // neither groups nor escapes.
    bool singleQuoted = false;
    OperatorFlags flags;
};

bool ParseOperator(const char* text, ParsedOperator& parsed, std::string& message);

}  // namespace regexlib
