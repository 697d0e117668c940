// Perl's case operators as a replacement's \U \L \u \l \F and \Q apply them:
// uc, lc, ucfirst, lcfirst, fc and quotemeta on a text in one of the
// encodings.
//
// Perl has two sets of rules, and picks one by the string at hand. On a byte
// string only ASCII letters change case, and quotemeta quotes every
// character but A-Z, a-z, 0-9 and '_'. On a character string (one holding
// text decoded from UTF-8 or Shift_JIS, a non-ASCII character of the
// program's text, \N{U+...} or a code point above 0xFF) Unicode's rules
// apply: tables made from perl by make_case_tables.pl, multi-character
// results included (uc of U+00DF is "SS"), a byte read as its Latin-1 code
// point, a Shift_JIS character through cp932's code point. A result the
// encoding cannot write leaves the character as it was.
#pragma once

#include <string>

#include "encoding/text_encoding.h"

namespace regexlib {

enum class CaseOperator : char {
    Upper = 'U',
    Lower = 'L',
    UpperFirst = 'u',
    LowerFirst = 'l',
    Fold = 'F',
    Quote = 'Q',
};

// Appends `text` changed by `op` to `out`. A byte sequence that is no
// character of the encoding is copied as it is.
void ApplyCaseOperator(CaseOperator op, TextEncoding encoding, bool unicodeRules, const std::string& text,
                       std::string& out);

}  // namespace regexlib
