#include "perl/operator_text.h"

#include <cstring>

namespace regexlib {
namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// A delimiter is one printable ASCII byte that is neither alphanumeric nor
// white space; a byte above 0x7E could be the start of a multi-byte character.
bool IsDelimiter(char c) { return c > ' ' && c < 0x7F && !IsAsciiAlnum(c); }

char ClosingDelimiter(char open) {
    switch (open) {
        case '(': return ')';
        case '[': return ']';
        case '{': return '}';
        case '<': return '>';
        default: return open;
    }
}

// The flags must be known before the parts are scanned, because k changes
// how the scanner steps. They are the trailing run of ASCII letters: a
// delimiter is never a letter, so a well-formed text ends in exactly its flags.
TextEncoding EncodingFromTrailingFlags(const char* text) {
    const char* end = text + std::strlen(text);
    TextEncoding encoding = TextEncoding::Bytes;
    for (const char* at = end; at > text && IsAsciiAlnum(at[-1]); --at) {
        if (at[-1] == 'k') encoding = TextEncoding::ShiftJis;
        if (at[-1] == 'u' && encoding == TextEncoding::Bytes) encoding = TextEncoding::Utf8;
    }
    return encoding;
}

// Copies one part up to its closing delimiter, stepping by character so a
// double-byte character's second byte is never taken for a backslash or a
// delimiter. Bracketing delimiters nest, and a backslash before one is kept;
// a backslash before any other delimiter is dropped, as Perl drops it, so
// that m.a\.b. holds a wildcard. Answers the position after the closing
// delimiter, or null when the text ends first.
const char* ScanPart(const char* at, char open, TextEncoding encoding, std::string& part) {
    const char close = ClosingDelimiter(open);
    const char* end = at + std::strlen(at);
    int depth = 0;
    while (at < end) {
        if (*at == '\\' && at + 1 < end) {
            const bool dropped = open == close && at[1] == close;
            const std::size_t length = 1 + CharacterLength(encoding, at + 1, end);
            part.append(dropped ? at + 1 : at, dropped ? length - 1 : length);
            at += length;
            continue;
        }
        if (*at == close && depth == 0) return at + 1;
        if (open != close && *at == open) ++depth;
        if (open != close && *at == close) --depth;
        const std::size_t length = CharacterLength(encoding, at, end);
        part.append(at, length);
        at += length;
    }
    return nullptr;
}

// Which operator the text starts with; answers the position of its opening
// delimiter, or null for an unknown operator.
const char* ReadOperatorName(const char* text, OperatorKind& kind) {
    if (text[0] == '/') {
        kind = OperatorKind::Match;
        return text;
    }
    if (text[0] == 'm') {
        kind = OperatorKind::Match;
        return text + 1;
    }
    if (text[0] == 's') {
        kind = OperatorKind::Substitute;
        return text + 1;
    }
    if (text[0] == 'y') {
        kind = OperatorKind::Translate;
        return text + 1;
    }
    if (text[0] == 't' && text[1] == 'r') {
        kind = OperatorKind::Translate;
        return text + 2;
    }
    return nullptr;
}

// The second part of s/// and tr///: with a bracketing first part it has its
// own delimiters, possibly after white space (s{a} {b}); otherwise the
// delimiter that closed the first part opens it.
const char* ScanSecondPart(const char* at, char firstOpen, TextEncoding encoding,
                           std::string& part, std::string& message) {
    char open = firstOpen;
    if (ClosingDelimiter(firstOpen) != firstOpen) {
        while (IsSpace(*at)) ++at;
        if (!IsDelimiter(*at)) {
            message = "missing delimiter before the second part";
            return nullptr;
        }
        open = *at++;
    }
    const char* next = ScanPart(at, open, encoding, part);
    if (next == nullptr) message = "missing closing delimiter of the second part";
    return next;
}

// Flags both m// and s/// take.
bool ReadPatternFlag(char flag, OperatorFlags& flags) {
    switch (flag) {
        case 'i': flags.caseless = true; return true;
        case 'm': flags.multiline = true; return true;
        case 's': flags.dotAll = true; return true;
        case 'x':
            flags.extendedMore = flags.extended;
            flags.extended = true;
            return true;
        case 'n': flags.noAutoCapture = true; return true;
        case 'a': ++flags.asciiLevel; return true;
        // Compiled once anyway: o changes nothing.
        case 'o': return true;
        default: return false;
    }
}

// Whether `flag` is one the operator takes. g belongs to m// and s///, r
// (hand back the result, which every call does) to s/// and tr///.
bool ReadFlag(char flag, OperatorKind kind, OperatorFlags& flags) {
    if (flag == 'k' || flag == 'u') {
        flags.encoding = flag == 'k' ? TextEncoding::ShiftJis : TextEncoding::Utf8;
        return true;
    }
    if (flag == 'r') return kind != OperatorKind::Match;
    if (kind == OperatorKind::Translate) {
        switch (flag) {
            case 'c': flags.complement = true; return true;
            case 'd': flags.deleteUnmatched = true; return true;
            case 's': flags.squeeze = true; return true;
            default: return false;
        }
    }
    if (flag == 'g') {
        flags.global = true;
        return true;
    }
    return ReadPatternFlag(flag, flags);
}

bool ReadFlags(const char* at, OperatorKind kind, OperatorFlags& flags, std::string& message) {
    for (; *at != '\0'; ++at) {
        if (*at == 'e' && kind == OperatorKind::Substitute) {
            message = "flag e is not supported: it would run the replacement as Perl code";
            return false;
        }
        if (ReadFlag(*at, kind, flags)) continue;
        const unsigned char byte = static_cast<unsigned char>(*at);
        message = (byte >= ' ' && byte < 0x7F) ? std::string("unknown flag '") + *at + "'"
                                               : "unknown flag byte " + std::to_string(byte);
        return false;
    }
    if (flags.asciiLevel > 2) {
        message = "flag a may appear at most twice";
        return false;
    }
    return true;
}

bool HasBothEncodings(const char* flags) {
    return std::strchr(flags, 'k') != nullptr && std::strchr(flags, 'u') != nullptr;
}

}  // namespace

bool ParseOperator(const char* text, ParsedOperator& parsed, std::string& message) {
    parsed = ParsedOperator{};
    const char* at = ReadOperatorName(text, parsed.kind);
    if (at == nullptr) {
        message = "unknown operator (expected m//, s///, tr/// or y///)";
        return false;
    }
    if (!IsDelimiter(*at)) {
        message = *at == '\0' ? "missing delimiter" : "invalid delimiter after the operator";
        return false;
    }
    const char open = *at++;
    const TextEncoding encoding = EncodingFromTrailingFlags(text);
    at = ScanPart(at, open, encoding, parsed.pattern);
    if (at == nullptr) {
        message = "missing closing delimiter";
        return false;
    }
    if (parsed.kind != OperatorKind::Match) {
        at = ScanSecondPart(at, open, encoding, parsed.replacement, message);
        if (at == nullptr) return false;
        parsed.singleQuoted = parsed.kind == OperatorKind::Substitute && open == '\'';
    }
    if (HasBothEncodings(at)) {
        message = "flags k and u exclude each other";
        return false;
    }
    return ReadFlags(at, parsed.kind, parsed.flags, message);
}

}  // namespace regexlib
