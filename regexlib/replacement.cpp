#include "replacement.h"

#include "character_escapes.h"

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

}  // namespace

void ReplacementProgram::AddLiteral(const char* text, std::size_t length) {
    // Neighbouring literal runs merge, so expansion copies each run once.
    if (!pieces_.empty() && pieces_.back().group < 0) {
        pieces_.back().length += length;
    } else {
        pieces_.push_back({-1, literals_.size(), length});
    }
    literals_.append(text, length);
}

void ReplacementProgram::AddGroup(int group) { pieces_.push_back({group, 0, 0}); }

// After a '$': $& is the whole match, $N and ${N} a group; anything else
// leaves the '$' literal.
const char* ReplacementProgram::ReadDollar(const char* at, const char* end) {
    int number = 0;
    if (at < end && *at == '&') {
        AddGroup(0);
        return at + 1;
    }
    if (at < end && IsDigit(*at)) {
        at = ReadNumber(at, end, number);
        AddGroup(number);
        return at;
    }
    if (at + 2 < end && at[0] == '{' && IsDigit(at[1])) {
        const char* close = ReadNumber(at + 1, end, number);
        if (close < end && *close == '}') {
            AddGroup(number);
            return close + 1;
        }
    }
    AddLiteral("$", 1);
    return at;
}

// After a '\': a group (\1), an escape that names a character (\n, \0,
// \x41, \o{101}), or any other character (the delimiter, '\', '$') standing
// for itself. Answers null for a character the encoding cannot write.
const char* ReplacementProgram::ReadEscape(const char* at, const char* end, TextEncoding encoding) {
    if (at >= end) {
        AddLiteral("\\", 1);
        return at;
    }
    if (IsGroupEscape(at, end)) {
        AddGroup(*at - '0');
        return at + 1;
    }
    std::uint32_t character = 0;
    if (const char* after = ReadCharacterEscape(at, end, character)) {
        if (!IsEncodable(encoding, character)) return nullptr;
        char encoded[kLongestCharacter];
        AddLiteral(encoded, EncodeCharacter(encoding, character, encoded));
        return after;
    }
    const std::size_t length = CharacterLength(encoding, at, end);
    AddLiteral(at, length);
    return at + length;
}

bool ReplacementProgram::Compile(const std::string& text, TextEncoding encoding, std::string& message) {
    literals_.clear();
    pieces_.clear();
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        if (*at == '$') {
            at = ReadDollar(at + 1, end);
        } else if (*at == '\\') {
            at = ReadEscape(at + 1, end, encoding);
            if (at == nullptr) {
                message = "the replacement names a character its encoding cannot write";
                return false;
            }
        } else {
            // Whole characters, so a Shift_JIS second byte '\' or '$' is
            // never read as the start of an escape.
            const std::size_t length = CharacterLength(encoding, at, end);
            AddLiteral(at, length);
            at += length;
        }
    }
    return true;
}

void ReplacementProgram::Expand(const char* subject, const PatternEngine& engine,
                                OutputBuffer& out) const {
    for (const Piece& piece : pieces_) {
        if (piece.group < 0) {
            out.Append(literals_.data() + piece.offset, piece.length);
            continue;
        }
        const GroupSpan span = engine.Group(piece.group);
        if (span.start >= 0) out.Append(subject + span.start, static_cast<std::size_t>(span.end - span.start));
    }
}

}  // namespace regexlib
