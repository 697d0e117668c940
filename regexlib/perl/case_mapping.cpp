#include "perl/case_mapping.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "encoding/shift_jis_unicode.h"

namespace regexlib {
namespace {

// Every step-th code point from first to last maps to itself plus delta.
struct CaseRun {
    std::uint32_t first;
    std::uint32_t last;
    std::uint32_t step;
    std::int32_t delta;
};

// A code point that maps to several, written as UTF-8.
struct CaseExpansion {
    std::uint32_t codePoint;
    const char* utf8;
};

struct CodePointRange {
    std::uint32_t first;
    std::uint32_t last;
};

#include "encoding/unicode_case_tables.inc"

enum class Casing { Upper, Lower, Title, Fold };

// What one code point maps to: Unicode's longest mappings have three.
struct Mapped {
    std::uint32_t codePoints[3];
    int count;
};

template <std::size_t N>
bool FindInRuns(const CaseRun (&runs)[N], std::uint32_t codePoint, Mapped& mapped) {
    const CaseRun* after = std::upper_bound(
        runs, runs + N, codePoint, [](std::uint32_t value, const CaseRun& run) { return value < run.first; });
    if (after == runs) return false;
    const CaseRun& run = after[-1];
    if (codePoint > run.last || (codePoint - run.first) % run.step != 0) return false;
    mapped = {{codePoint + static_cast<std::uint32_t>(run.delta)}, 1};
    return true;
}

template <std::size_t N>
bool FindExpansion(const CaseExpansion (&expansions)[N], std::uint32_t codePoint, Mapped& mapped) {
    const CaseExpansion* found = std::lower_bound(
        expansions, expansions + N, codePoint,
        [](const CaseExpansion& expansion, std::uint32_t value) { return expansion.codePoint < value; });
    if (found == expansions + N || found->codePoint != codePoint) return false;
    mapped.count = 0;
    const char* at = found->utf8;
    const char* end = at + std::char_traits<char>::length(at);
    while (at < end && mapped.count < 3) mapped.codePoints[mapped.count++] = DecodeCharacter(TextEncoding::Utf8, at, end);
    return true;
}

// A code point's mapping in one pair of tables: its expansion to several
// code points, else its run.
template <std::size_t E, std::size_t R>
bool FindMapping(const CaseExpansion (&expansions)[E], const CaseRun (&runs)[R], std::uint32_t codePoint,
                 Mapped& mapped) {
    return FindExpansion(expansions, codePoint, mapped) || FindInRuns(runs, codePoint, mapped);
}

Mapped MapCodePoint(Casing casing, std::uint32_t codePoint) {
    Mapped mapped{{codePoint}, 1};
    switch (casing) {
        case Casing::Title:
            // Only where ucfirst differs from uc; otherwise it is uc.
            if (FindMapping(kTitleExpansions, kTitleRuns, codePoint, mapped)) break;
            [[fallthrough]];
        case Casing::Upper:
            FindMapping(kUpperExpansions, kUpperRuns, codePoint, mapped);
            break;
        case Casing::Fold:
            // Only where fc differs from lc; otherwise it is lc.
            if (FindMapping(kFoldExpansions, kFoldRuns, codePoint, mapped)) break;
            [[fallthrough]];
        case Casing::Lower:
            FindMapping(kLowerExpansions, kLowerRuns, codePoint, mapped);
            break;
    }
    return mapped;
}

bool IsAsciiWord(std::uint32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char AsciiCase(Casing casing, char c) {
    if (casing == Casing::Lower || casing == Casing::Fold) return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Reads the character at `at` as a code point; false (having stepped over
// it) for a malformed UTF-8 byte or a Shift_JIS character cp932 leaves
// unassigned.
bool ReadCodePoint(TextEncoding encoding, const char*& at, const char* end, std::uint32_t& codePoint) {
    const char* start = at;
    const std::uint32_t character = DecodeCharacter(encoding, at, end);
    if (encoding == TextEncoding::ShiftJis) return ShiftJisToUnicode(character, codePoint);
    codePoint = character;
    return !(encoding == TextEncoding::Utf8 && character >= 0x80 && at - start == 1);
}

// Writes code points in the encoding; false, writing nothing, when one of
// them has no character there.
bool AppendCodePoints(TextEncoding encoding, const Mapped& mapped, std::string& out) {
    char written[3 * kLongestCharacter];
    std::size_t length = 0;
    for (int i = 0; i < mapped.count; ++i) {
        std::uint32_t character = 0;
        if (!CharacterOfCodePoint(encoding, mapped.codePoints[i], character)) return false;
        length += EncodeCharacter(encoding, character, written + length);
    }
    out.append(written, length);
    return true;
}

void AppendChangedCharacter(Casing casing, TextEncoding encoding, bool unicodeRules, const char*& at,
                            const char* end, std::string& out) {
    const char* start = at;
    if (!unicodeRules) {
        at += CharacterLength(encoding, at, end);
        if (at - start == 1) {
            out.push_back(AsciiCase(casing, *start));
        } else {
            out.append(start, at);
        }
        return;
    }
    std::uint32_t codePoint = 0;
    if (ReadCodePoint(encoding, at, end, codePoint)) {
        const Mapped mapped = MapCodePoint(casing, codePoint);
        const bool unchanged = mapped.count == 1 && mapped.codePoints[0] == codePoint;
        if (!unchanged && AppendCodePoints(encoding, mapped, out)) return;
    }
    out.append(start, at);
}

bool IsQuoted(std::uint32_t codePoint) {
    if (codePoint < 0x80) return !IsAsciiWord(codePoint);
    const CodePointRange* after =
        std::upper_bound(std::begin(kQuotedRanges), std::end(kQuotedRanges), codePoint,
                         [](std::uint32_t value, const CodePointRange& range) { return value < range.first; });
    return after != std::begin(kQuotedRanges) && codePoint <= after[-1].last;
}

void Quote(TextEncoding encoding, bool unicodeRules, const char* at, const char* end, std::string& out) {
    while (at < end) {
        const char* start = at;
        std::uint32_t codePoint = 0;
        const bool known = ReadCodePoint(encoding, at, end, codePoint);
        // By the byte-string rules every character but A-Z a-z 0-9 _ is quoted.
        const bool quoted = unicodeRules ? known && IsQuoted(codePoint) : !(at - start == 1 && IsAsciiWord(codePoint));
        if (quoted) out.push_back('\\');
        out.append(start, at);
    }
}

}  // namespace

void ApplyCaseOperator(CaseOperator op, TextEncoding encoding, bool unicodeRules, const std::string& text,
                       std::string& out) {
    const char* at = text.data();
    const char* end = at + text.size();
    if (op == CaseOperator::Quote) {
        Quote(encoding, unicodeRules, at, end, out);
        return;
    }
    const Casing casing = op == CaseOperator::Upper        ? Casing::Upper
                          : op == CaseOperator::UpperFirst ? Casing::Title
                          : op == CaseOperator::Fold       ? Casing::Fold
                                                           : Casing::Lower;
    const bool firstOnly = op == CaseOperator::UpperFirst || op == CaseOperator::LowerFirst;
    while (at < end) {
        AppendChangedCharacter(casing, encoding, unicodeRules, at, end, out);
        if (firstOnly) break;
    }
    out.append(at, end);
}

}  // namespace regexlib
