// The parts, in order:
// - helpers that read group numbers and names and tell the case escapes;
// - Reset, AddLiteral, AddPiece: the program is built of pieces;
// - ReadCharacter, ReadGroupName, ReadDollar, ReadEscape: one piece of the
//   text each, a character, $... or \...;
// - ReadCaseEscape, StartCase, EndCase: the case escapes' levels, opened
//   and closed as Perl's lexer does;
// - Compile and CompileSingleQuoted: the text read from start to end;
// - SpanOf, Expand, ExpandChangingCase: the pieces written out after a
//   match, the slow way only when a case escape changes what they collect.
#include "perl/replacement.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "perl/case_mapping.h"
#include "perl/character_escapes.h"

namespace regexlib {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Group numbers past this are clamped: no pattern has that many groups, so
// they expand to nothing either way, and the number cannot overflow.
constexpr int kLargestGroupNumber = 65535;

// Reads a run of decimal digits into a clamped group number.
const char* ReadNumber(const char* at, const char* end, int& number) {
    number = 0;
    for (; at < end && IsDigit(*at); ++at) {
        number = number * 10 + (*at - '0');
        if (number > kLargestGroupNumber) number = kLargestGroupNumber;
    }
    return at;
}

// Perl reads \1 to \9 as $1 to $9, but only as a single digit: \12 is
// octal, as in any double-quoted string.
bool IsGroupEscape(const char* at, const char* end) {
    return *at >= '1' && *at <= '9' && !(at + 1 < end && IsDigit(at[1]));
}

bool IsCaseEscape(char c) { return c != '\0' && std::strchr("ULulFQE", c) != nullptr; }

// The case escapes that end the last open one of them when they start.
bool IsWholeCaseEscape(char c) { return c == 'U' || c == 'L' || c == 'F'; }

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool IsNameCharacter(char c) { return IsNameStart(c) || IsDigit(c); }

// Whether `at` starts "\E" (a backslash, then E).
bool StartsEndEscape(const char* at, const char* end) { return end - at >= 2 && at[0] == '\\' && at[1] == 'E'; }

}  // namespace

void ReplacementProgram::Reset(TextEncoding encoding) {
    literals_.clear();
    pieces_.clear();
    namedGroups_.clear();
    openCases_.clear();
    changesCase_ = false;
    endedEmpty_ = false;
    sawUnicodeText_ = false;
    encoding_ = encoding;
}

void ReplacementProgram::AddLiteral(const char* text, std::size_t length, bool unicode) {
    // Neighbouring literal runs merge, so expansion copies each run once.
    if (!pieces_.empty() && pieces_.back().group == kLiteral && pieces_.back().unicode == unicode) {
        pieces_.back().length += length;
    } else {
        pieces_.push_back({kLiteral, unicode, literals_.size(), length});
    }
    literals_.append(text, length);
}

void ReplacementProgram::AddPiece(int group, std::size_t offset, std::size_t length) {
    pieces_.push_back({group, false, offset, length});
}

// One character of the text as it is, whole, so a Shift_JIS second byte '\'
// or '$' is never read as the start of an escape. A non-ASCII character of
// a decoded text makes Perl's string a character string.
const char* ReplacementProgram::ReadCharacter(const char* at, const char* end) {
    const std::size_t length = CharacterLength(encoding_, at, end);
    const bool unicode = encoding_ != TextEncoding::Bytes && static_cast<unsigned char>(*at) >= 0x80;
    sawUnicodeText_ = sawUnicodeText_ || unicode;
    AddLiteral(at, length, unicode);
    return at + length;
}

// `at` is at the '{' of ${name} or $+{name}. A name of the pattern becomes
// its groups; an unknown one expands to nothing (as $+{name} does in Perl)
// or, with keepUnknown, answers null for the caller to keep the text.
const char* ReplacementProgram::ReadGroupName(const char* at, const char* end, const PatternEngine& engine,
                                              bool keepUnknown) {
    const char* name = at + 1;
    const char* close = name;
    if (close == end || !IsNameStart(*close)) return nullptr;
    while (close < end && IsNameCharacter(*close)) ++close;
    if (close == end || *close != '}') return nullptr;
    const std::vector<int> numbers = engine.GroupNumbers(std::string(name, close));
    if (numbers.empty() && keepUnknown) return nullptr;
    if (!numbers.empty()) {
        AddPiece(kNamedGroup, namedGroups_.size(), numbers.size());
        namedGroups_.insert(namedGroups_.end(), numbers.begin(), numbers.end());
    }
    return close + 1;
}

// After a '$': $& is the whole match, $N and ${N} a group, $` and $' the
// text before and after the match, $+ the last group, $+{name} and ${name}
// a named group; anything else leaves the '$' literal.
const char* ReplacementProgram::ReadDollar(const char* at, const char* end, const PatternEngine& engine) {
    int number = 0;
    if (at < end && IsDigit(*at)) {
        at = ReadNumber(at, end, number);
        AddPiece(number);
        return at;
    }
    const char next = at < end ? *at : '\0';
    switch (next) {
        case '&': AddPiece(0); return at + 1;
        case '`': AddPiece(kBeforeMatch); return at + 1;
        case '\'': AddPiece(kAfterMatch); return at + 1;
        case '+':
            if (at + 1 < end && at[1] == '{') {
                if (const char* after = ReadGroupName(at + 1, end, engine, false)) return after;
            }
            AddPiece(kLastGroup);
            return at + 1;
        default: break;
    }
    if (at + 2 < end && at[0] == '{' && IsDigit(at[1])) {
        const char* close = ReadNumber(at + 1, end, number);
        if (close < end && *close == '}') {
            AddPiece(number);
            return close + 1;
        }
    }
    if (next == '{') {
        if (const char* after = ReadGroupName(at, end, engine, true)) return after;
    }
    AddLiteral("$", 1);
    return at;
}

// After a '\': a group (\1), an escape that names a character (\n, \0,
// \x41, \o{101}), or any other character (the delimiter, '\', '$') standing
// for itself. Answers null for a character the encoding cannot write.
const char* ReplacementProgram::ReadEscape(const char* at, const char* end) {
    if (at >= end) {
        AddLiteral("\\", 1);
        return at;
    }
    if (IsGroupEscape(at, end)) {
        AddPiece(*at - '0');
        return at + 1;
    }
    std::uint32_t character = 0;
    if (const char* after = ReadCharacterEscape(at, end, character)) {
        // Perl's \N{U+...} and code points above 0xFF make a character string.
        const bool unicode = *at == 'N' || character > 0xFF;
        if (!CharacterOfCodePoint(encoding_, character, character)) return nullptr;
        char encoded[kLongestCharacter];
        AddLiteral(encoded, EncodeCharacter(encoding_, character, encoded), unicode);
        return after;
    }
    return ReadCharacter(at, end);
}

// The case escapes as Perl's lexer reads them in a double-quoted string: each
// opens a level that lasts to its \E or the end; \L, \U or \F first ends
// every open level up to the last \L, \U or \F; \E ends the innermost \L, \U,
// \F or \Q and any \u or \l inside it; an escape right before \E does
// nothing, with it; \L\u and \U\l are read as \u\L and \l\U, the \L or \U
// then read again in the \u's place. `at` is at the letter.
const char* ReplacementProgram::ReadCaseEscape(const char* at, const char* end) {
    const char letter = *at++;
    if (letter == 'E') {
        EndCaseEscape();
        return at;
    }
    for (;;) {
        if (StartsEndEscape(at, end)) return at + 2;
        const bool swapped = end - at >= 2 && at[0] == '\\' &&
                             ((letter == 'L' && at[1] == 'u') || (letter == 'U' && at[1] == 'l'));
        if (!swapped) break;
        StartCase(at[1]);
        at += 2;
    }
    StartCase(letter);
    return at;
}

void ReplacementProgram::StartCase(char letter) {
    if (IsWholeCaseEscape(letter)) {
        while (std::any_of(openCases_.begin(), openCases_.end(),
                           [](const OpenCase& open) { return IsWholeCaseEscape(open.letter); })) {
            EndCase(false);
        }
    }
    openCases_.push_back({letter, false});
    AddPiece(kCaseStart, static_cast<unsigned char>(letter));
    changesCase_ = true;
}

// Perl's lexer fails on a level that \E, \L, \U or \F ends before anything was
// put in it (\U\La, \Ua\Q\L); one the end of the text ends may be empty.
//
// An empty level at the end holds a character string when a non-ASCII
// character of the text came before it: then Unicode's rules apply to the
// levels around it, as in Perl (a\x{3001}\U\x{e9}\l gives U+00C9).
void ReplacementProgram::EndCase(bool atTheEnd) {
    const OpenCase innermost = openCases_.back();
    if (!atTheEnd && !innermost.filled) endedEmpty_ = true;
    openCases_.pop_back();
    pieces_.push_back({kCaseEnd, !innermost.filled && sawUnicodeText_, 0, 0});
    MarkFilled();
}

void ReplacementProgram::EndCaseEscape() {
    while (!openCases_.empty()) {
        const char innermost = openCases_.back().letter;
        EndCase(false);
        if (innermost != 'u' && innermost != 'l') break;
    }
}

void ReplacementProgram::MarkFilled() {
    if (!openCases_.empty()) openCases_.back().filled = true;
}

bool ReplacementProgram::Compile(const std::string& text, TextEncoding encoding, const PatternEngine& engine,
                                 std::string& message) {
    Reset(encoding);
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        if (*at == '\\' && at + 1 < end && IsCaseEscape(at[1])) {
            at = ReadCaseEscape(at + 1, end);
            continue;
        }
        if (*at == '$') {
            at = ReadDollar(at + 1, end, engine);
        } else if (*at == '\\') {
            at = ReadEscape(at + 1, end);
            if (at == nullptr) {
                message = "the replacement names a character its encoding cannot write";
                return false;
            }
        } else {
            at = ReadCharacter(at, end);
        }
        MarkFilled();
    }
    while (!openCases_.empty()) EndCase(true);
    if (endedEmpty_) {
        message = "a case escape (\\U \\L \\F \\Q \\u \\l) ends before any text";
        return false;
    }
    return true;
}

void ReplacementProgram::CompileSingleQuoted(const std::string& text, TextEncoding encoding) {
    Reset(encoding);
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        if (at[0] == '\\' && at + 1 < end && at[1] == '\\') ++at;
        const std::size_t length = CharacterLength(encoding, at, end);
        AddLiteral(at, length);
        at += length;
    }
}

// What a group piece inserts: its place in the subject, or start < 0.
GroupSpan ReplacementProgram::SpanOf(const Piece& piece, const char* subject, const char* subjectEnd,
                                     const PatternEngine& engine) const {
    if (piece.group >= 0) return engine.Group(piece.group);
    switch (piece.group) {
        case kBeforeMatch: return {0, engine.Group(0).start};
        case kAfterMatch: return {engine.Group(0).end, subjectEnd - subject};
        case kLastGroup:
            for (int group = engine.GroupCount(); group > 0; --group) {
                const GroupSpan span = engine.Group(group);
                if (span.start >= 0) return span;
            }
            return {};
        case kNamedGroup:
            // Perl's $+{name} is the leftmost group of that name that is set.
            for (std::size_t i = piece.offset; i < piece.offset + piece.length; ++i) {
                const GroupSpan span = engine.Group(namedGroups_[i]);
                if (span.start >= 0) return span;
            }
            return {};
        default: return {};
    }
}

void ReplacementProgram::Expand(const char* subject, const char* subjectEnd, const PatternEngine& engine,
                                OutputText& out) const {
    if (changesCase_) {
        ExpandChangingCase(subject, subjectEnd, engine, out);
        return;
    }
    for (const Piece& piece : pieces_) {
        if (piece.group == kLiteral) {
            out.Append(literals_.data() + piece.offset, piece.length);
            continue;
        }
        const GroupSpan span = SpanOf(piece, subject, subjectEnd, engine);
        if (span.start >= 0) out.Append(subject + span.start, static_cast<std::size_t>(span.end - span.start));
    }
}

namespace {

// The text one open case escape has collected, and whether Perl would hold
// it as a character string: then Unicode's rules change it.
struct CaseLevel {
    CaseOperator op;
    bool unicode;
    std::string text;
};

}  // namespace

// Each open case escape collects its text; at its end the text is changed
// and goes to the level around it, or out.
void ReplacementProgram::ExpandChangingCase(const char* subject, const char* subjectEnd,
                                            const PatternEngine& engine, OutputText& out) const {
    std::vector<CaseLevel> levels;
    auto write = [&](const char* text, std::size_t length, bool unicode) {
        if (levels.empty()) {
            out.Append(text, length);
            return;
        }
        levels.back().text.append(text, length);
        levels.back().unicode = levels.back().unicode || unicode;
    };
    // A group of a decoded subject is a character string, even when empty.
    const bool groupsAreUnicode = encoding_ != TextEncoding::Bytes;
    for (const Piece& piece : pieces_) {
        if (piece.group == kLiteral) {
            write(literals_.data() + piece.offset, piece.length, piece.unicode);
        } else if (piece.group == kCaseStart) {
            levels.push_back({static_cast<CaseOperator>(static_cast<char>(piece.offset)), false, std::string()});
        } else if (piece.group == kCaseEnd) {
            CaseLevel level = std::move(levels.back());
            levels.pop_back();
            level.unicode = level.unicode || piece.unicode;
            std::string changed;
            ApplyCaseOperator(level.op, encoding_, level.unicode, level.text, changed);
            // Perl's quotemeta makes a byte string of an empty one.
            const bool quotedEmpty = level.op == CaseOperator::Quote && level.text.empty();
            write(changed.data(), changed.size(), level.unicode && !quotedEmpty);
        } else {
            const GroupSpan span = SpanOf(piece, subject, subjectEnd, engine);
            if (span.start >= 0) {
                write(subject + span.start, static_cast<std::size_t>(span.end - span.start), groupsAreUnicode);
            }
        }
    }
}

}  // namespace regexlib
