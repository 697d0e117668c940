// A translation (tr/SEARCH/REPLACE/cds): the two lists expanded once into a
// table that maps each character to itself, another character, or nothing.
// The table is owned by its record; compiling answers false with a message
// for a reversed range, a list that is not valid in its encoding, under
// UTF-8 a list that names a surrogate or a code point above U+10FFFF, and
// under Shift_JIS an escape naming a character cp932 cannot write.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "encoding/output_text.h"
#include "encoding/text_encoding.h"

namespace regexlib {

struct TranslationFlags {
    bool complement = false;
    bool deleteUnmatched = false;
    bool squeeze = false;
};

// What one translation did: the number of characters the search list
// matched, as Perl's tr answers, and whether the output holds a NUL byte
// (kept from the subject or written for \0), which a caller that hands the
// output on as a zero-terminated text must refuse.
struct TranslationResult {
    std::size_t count = 0;
    bool holdsNul = false;
};

class TranslationTable {
public:
    bool Compile(const std::string& searchList, const std::string& replacementList,
                 const TranslationFlags& flags, TextEncoding encoding, std::string& message);

    // Writes the translated subject to `out`.
    TranslationResult Apply(const char* begin, const char* end, OutputText& out) const;

private:
    // What happens to one character: kKeep, kDelete, or the character it
    // becomes.
    static constexpr std::int64_t kKeep = -1;
    static constexpr std::int64_t kDelete = -2;

    std::int64_t ActionFor(std::uint32_t character) const;
    std::int64_t ActionForIndex(std::uint32_t character, std::size_t index) const;
    std::uint32_t CodePointOf(std::uint32_t character) const;
    void FindShiftedRange();
    std::size_t ApplyBytes(const char* begin, const char* end, OutputText& out) const;
    std::size_t MapBytes(const unsigned char* in, std::size_t length, char* out) const;
    std::size_t ShiftBytes(const unsigned char* in, std::size_t length, char* out) const;
    unsigned ShiftBlock(const unsigned char* in, char* out) const;
    char* DeleteOrSqueezeBytes(const char* begin, const char* end, char* written, std::size_t& count) const;
    std::size_t ApplyCharacters(const char* begin, const char* end, OutputText& out) const;

    TranslationFlags flags_;
    TextEncoding encoding_ = TextEncoding::Bytes;
    std::vector<std::uint32_t> replacement_;
    // By CodePointOf: each character's first place in the list, and the
    // characters in ascending order for c.
    std::unordered_map<std::uint32_t, std::size_t> searchIndex_;
    std::vector<std::uint32_t> sortedSearch_;
    // Precomputed actions for every one-byte character, the fast path.
    std::array<std::int64_t, 256> byteAction_{};
    // Without d or s every byte becomes exactly one byte: one table entry
    // per byte, the byte it becomes and (bit 8) whether it counts, lets the
    // byte loop run without branches.
    bool plainByteMap_ = false;
    std::array<std::uint16_t, 256> byteEntry_{};
    // A plain map that moves one run of bytes by a constant and keeps all
    // others (tr/a-z/A-Z/) needs no table at all: the loop over it becomes
    // vector code.
    bool shiftsOneRange_ = false;
    unsigned char rangeFirst_ = 0;
    unsigned char rangeSpan_ = 0;   // last - first
    unsigned char rangeShift_ = 0;  // added modulo 256
};

// Expands a list into characters: escapes (\n, \\, \-, \xHH, \x{H..}, octal
// \101 and \o{101}) and ranges a-z; a '-' first or last is literal. Under
// Shift_JIS an escape names a Unicode code point, and a range runs in
// Shift_JIS order over the characters cp932 reads. Under UTF-8 a range may
// run across the surrogates only with `spanningSurrogates` (the search list
// of a complemented translation). Exposed for tests.
bool ExpandTranslationList(const std::string& list, TextEncoding encoding,
                           std::vector<std::uint32_t>& characters, std::string& message,
                           bool spanningSurrogates = false);

}  // namespace regexlib
