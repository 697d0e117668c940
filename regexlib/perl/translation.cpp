// The parts, in order:
// - ReadListItem, InRange and the surrogate checks: one item of a list, and
//   which characters a range holds;
// - ExpandTranslationList: a list expanded into its characters;
// - Compile and FindShiftedRange: the table, and the fast paths it allows;
// - ActionForIndex, ActionFor, CodePointOf: Perl's rules for what one
//   character becomes;
// - Apply, then ApplyBytes with its three byte loops (ShiftBytes, MapBytes,
//   DeleteOrSqueezeBytes), and ApplyCharacters for UTF-8 and Shift_JIS.
#include "perl/translation.h"

#include <algorithm>
#include <cstring>

#include "encoding/shift_jis_unicode.h"
#include "perl/character_escapes.h"

namespace regexlib {
namespace {

// The bit of a byte entry that tells the byte counts (is in the search list).
constexpr std::uint16_t kCounted = 0x100;

// Bytes a shifted range is translated in at a time.
constexpr std::size_t kShiftBlock = 64;

// One list item after a backslash; `at` is just past the backslash: an
// escape that names a character (\n, \x41, \101), or any other character
// standing for itself (\\, \-, the delimiter). Under Shift_JIS an escape
// names a Unicode code point, as in perl on the decoded text; answers null
// for one that Shift_JIS cannot write. The other encodings check their
// escapes' numbers with the range they are in.
const char* ReadEscapedCharacter(const char* at, const char* end, TextEncoding encoding,
                                 std::uint32_t& character) {
    if (const char* after = ReadCharacterEscape(at, end, character)) {
        if (encoding != TextEncoding::ShiftJis) return after;
        return CharacterOfCodePoint(encoding, character, character) ? after : nullptr;
    }
    character = DecodeCharacter(encoding, at, end);
    return at;
}

// One list item: a character, or an escaped one. `literal` tells whether it
// was escaped, because an escaped '-' never makes a range.
const char* ReadListItem(const char* at, const char* end, TextEncoding encoding,
                         std::uint32_t& character, bool& escaped) {
    escaped = *at == '\\' && at + 1 < end;
    if (escaped) return ReadEscapedCharacter(at + 1, end, encoding, character);
    character = DecodeCharacter(encoding, at, end);
    return at;
}

// A Shift_JIS range runs in Shift_JIS order (lead * 256 + second) over the
// characters cp932 reads, so that numbers which are no character (83 7F
// between 83 7E and 83 80) neither shift the places of the others nor get
// written. Its ends are characters as written.
bool InRange(TextEncoding encoding, std::uint32_t character, std::uint32_t first, std::uint32_t last) {
    std::uint32_t codePoint = 0;
    return encoding != TextEncoding::ShiftJis || character == first || character == last ||
           ShiftJisToUnicode(character, codePoint);
}

constexpr const char* kUnwritableEscapeMessage = "a translation list names a character its encoding cannot write";

// Characters above this never appear in a list: it keeps "\x00-\x{10FFFF}"
// from expanding into millions of entries in byte mode.
std::uint32_t LargestCharacter(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Bytes: return 0xFF;
        case TextEncoding::ShiftJis: return 0xFFFF;
        case TextEncoding::Utf8: return 0x10FFFF;
    }
    return 0xFF;
}

// Under UTF-8 every character of a list, alone or inside a range, must be
// one UTF-8 can carry: a replacement character outside them would be
// written as invalid UTF-8, and a search character could never match a valid
// subject. A range across the surrogates is refused as well rather than cut
// in two, which would silently move the place of every character after it;
// but in the search list of a complemented translation it is kept whole,
// surrogates and all: they then only leave the complement, as in perl, and
// never meet a character of a valid text.
bool IsSurrogate(std::uint32_t character) { return character >= 0xD800 && character <= 0xDFFF; }

bool NamesOnlyUnicodeScalars(std::uint32_t first, std::uint32_t last, bool spanningSurrogates) {
    if (last > 0x10FFFF || IsSurrogate(first) || IsSurrogate(last)) return false;
    return spanningSurrogates || last < 0xD800 || first > 0xDFFF;
}

}  // namespace

bool ExpandTranslationList(const std::string& list, TextEncoding encoding,
                           std::vector<std::uint32_t>& characters, std::string& message,
                           bool spanningSurrogates) {
    characters.clear();
    const char* at = list.data();
    const char* end = at + list.size();
    if (encoding == TextEncoding::Utf8 && !IsValidUtf8(at, end, nullptr)) {
        message = "invalid UTF-8 in a translation list";
        return false;
    }
    const std::uint32_t largest = LargestCharacter(encoding);
    while (at < end) {
        std::uint32_t first = 0;
        bool escaped = false;
        at = ReadListItem(at, end, encoding, first, escaped);
        std::uint32_t last = first;
        // A '-' between two items makes a range; first or last it is literal.
        if (at != nullptr && at + 1 < end && *at == '-') at = ReadListItem(at + 1, end, encoding, last, escaped);
        if (at == nullptr) {
            message = kUnwritableEscapeMessage;
            return false;
        }
        if (last < first) {
            message = "invalid range in a translation list";
            return false;
        }
        if (encoding == TextEncoding::Utf8 && !NamesOnlyUnicodeScalars(first, last, spanningSurrogates)) {
            message = "a translation list names a surrogate or a code point above U+10FFFF";
            return false;
        }
        last = std::min(last, largest);
        for (std::uint32_t c = first; c <= last; ++c) {
            if (InRange(encoding, c, first, last)) characters.push_back(c);
        }
    }
    return true;
}

bool TranslationTable::Compile(const std::string& searchList, const std::string& replacementList,
                               const TranslationFlags& flags, TextEncoding encoding,
                               std::string& message) {
    flags_ = flags;
    encoding_ = encoding;
    std::vector<std::uint32_t> search;
    if (!ExpandTranslationList(searchList, encoding, search, message, flags.complement) ||
        !ExpandTranslationList(replacementList, encoding, replacement_, message)) {
        return false;
    }
    searchIndex_.clear();
    // The first place of a repeated character is the one that counts.
    for (std::size_t i = 0; i < search.size(); ++i) searchIndex_.emplace(CodePointOf(search[i]), i);
    sortedSearch_.clear();
    for (const auto& entry : searchIndex_) sortedSearch_.push_back(entry.first);
    std::sort(sortedSearch_.begin(), sortedSearch_.end());
    plainByteMap_ = !flags.squeeze;
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        const std::int64_t action = ActionFor(byte);
        byteAction_[byte] = action;
        const auto becomes = static_cast<unsigned char>(action == kKeep ? byte : action);
        byteEntry_[byte] = static_cast<std::uint16_t>(becomes | (action == kKeep ? 0 : kCounted));
        if (action == kDelete) plainByteMap_ = false;
    }
    FindShiftedRange();
    return true;
}

// Looks for one run of counted bytes, all moved by the same amount.
void TranslationTable::FindShiftedRange() {
    shiftsOneRange_ = false;
    int first = -1;
    int last = -1;
    for (int byte = 0; byte < 256; ++byte) {
        if ((byteEntry_[byte] & kCounted) == 0) continue;
        const auto shift = static_cast<unsigned char>((byteEntry_[byte] & 0xFF) - byte);
        if (first < 0) {
            first = byte;
            rangeShift_ = shift;
        } else if (last != byte - 1 || shift != rangeShift_) {
            return;
        }
        last = byte;
    }
    if (!plainByteMap_ || first < 0) return;
    shiftsOneRange_ = true;
    rangeFirst_ = static_cast<unsigned char>(first);
    rangeSpan_ = static_cast<unsigned char>(last - first);
}

// Perl's rules for the character at `index` of the (possibly complemented)
// search list: an empty replacement list keeps it (or deletes it with d); a
// short list repeats its last character unless d deletes the rest.
std::int64_t TranslationTable::ActionForIndex(std::uint32_t character, std::size_t index) const {
    if (replacement_.empty()) return flags_.deleteUnmatched ? kDelete : character;
    if (index < replacement_.size()) return replacement_[index];
    if (flags_.deleteUnmatched) return kDelete;
    return replacement_.back();
}

std::int64_t TranslationTable::ActionFor(std::uint32_t character) const {
    const std::uint32_t codePoint = CodePointOf(character);
    const auto found = searchIndex_.find(codePoint);
    if (!flags_.complement) {
        return found == searchIndex_.end() ? kKeep : ActionForIndex(character, found->second);
    }
    if (found != searchIndex_.end()) return kKeep;
    // The complement lists every other character in ascending order, so a
    // character's place in it is its value less the listed ones below it.
    const auto below = std::lower_bound(sortedSearch_.begin(), sortedSearch_.end(), codePoint);
    const std::size_t index = codePoint - static_cast<std::size_t>(below - sortedSearch_.begin());
    return ActionForIndex(character, index);
}

// A character as perl numbers it on the decoded text, where a search list
// finds it and where its place in a complement comes from: under Shift_JIS
// its code point, so that NEC's and IBM's copies of a symbol are one
// character and the complement runs in code point order.
std::uint32_t TranslationTable::CodePointOf(std::uint32_t character) const {
    return encoding_ == TextEncoding::ShiftJis ? CodePointOfShiftJis(character) : character;
}

TranslationResult TranslationTable::Apply(const char* begin, const char* end, OutputText& out) const {
    out.Clear();
    const std::size_t count =
        encoding_ == TextEncoding::Bytes ? ApplyBytes(begin, end, out) : ApplyCharacters(begin, end, out);
    // One memchr over the finished output: a flag kept inside the byte
    // loops, which are vector code, slowed them more than this pass costs.
    return {count, out.HoldsNul()};
}

std::size_t TranslationTable::ApplyBytes(const char* begin, const char* end, OutputText& out) const {
    const auto length = static_cast<std::size_t>(end - begin);
    const auto* bytes = reinterpret_cast<const unsigned char*>(begin);
    // Each byte becomes at most one byte: the output is written straight
    // into room for all of them, in one pass.
    char* written = out.Extend(length);
    if (shiftsOneRange_) return ShiftBytes(bytes, length, written);
    if (plainByteMap_) return MapBytes(bytes, length, written);
    std::size_t count = 0;
    const char* stop = DeleteOrSqueezeBytes(begin, end, written, count);
    out.Truncate(static_cast<std::size_t>(stop - out.data()));
    return count;
}

std::size_t TranslationTable::MapBytes(const unsigned char* in, std::size_t length, char* out) const {
    const std::uint16_t* entries = byteEntry_.data();
    std::size_t count = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint16_t entry = entries[in[i]];
        out[i] = static_cast<char>(entry & 0xFF);
        count += entry >> 8;
    }
    return count;
}

std::size_t TranslationTable::ShiftBytes(const unsigned char* in, std::size_t length, char* out) const {
    std::size_t count = 0;
    std::size_t done = 0;
    for (; length - done >= kShiftBlock; done += kShiftBlock) count += ShiftBlock(in + done, out + done);
    return count + MapBytes(in + done, length - done, out + done);
}

// One block through a local array, with the range in locals, so nothing the
// loop writes can alias what it reads: the loop of fixed length without
// branches then becomes vector code, even at -O2.
unsigned TranslationTable::ShiftBlock(const unsigned char* in, char* out) const {
    const unsigned char first = rangeFirst_;
    const unsigned char span = rangeSpan_;
    const unsigned char shift = rangeShift_;
    unsigned char block[kShiftBlock];
    std::memcpy(block, in, kShiftBlock);
    unsigned char counted = 0;  // at most kShiftBlock
    for (unsigned char& byte : block) {
        const bool inside = static_cast<unsigned char>(byte - first) <= span;
        byte = static_cast<unsigned char>(byte + (inside ? shift : 0));
        counted = static_cast<unsigned char>(counted + inside);
    }
    std::memcpy(out, block, kShiftBlock);
    return counted;
}

char* TranslationTable::DeleteOrSqueezeBytes(const char* begin, const char* end, char* written,
                                             std::size_t& count) const {
    const char* lastTranslated = nullptr;  // where the squeeze run's character is
    for (const char* at = begin; at < end; ++at) {
        const std::int64_t action = byteAction_[static_cast<unsigned char>(*at)];
        if (action == kKeep) {
            *written++ = *at;
            continue;
        }
        ++count;
        if (action == kDelete) continue;
        // Squeezing drops a translated character equal to the translated one
        // just written; a kept character in between ends the run.
        if (flags_.squeeze && lastTranslated == written - 1 && *lastTranslated == static_cast<char>(action)) continue;
        lastTranslated = written;
        *written++ = static_cast<char>(action);
    }
    return written;
}

std::size_t TranslationTable::ApplyCharacters(const char* begin, const char* end, OutputText& out) const {
    out.Reserve(static_cast<std::size_t>(end - begin));
    std::size_t count = 0;
    std::size_t lastTranslatedEnd = std::string::npos;  // output size after it
    std::int64_t lastTranslated = kKeep;
    for (const char* at = begin; at < end;) {
        const char* start = at;
        const std::uint32_t character = DecodeCharacter(encoding_, at, end);
        const std::int64_t action = at - start == 1 ? byteAction_[static_cast<unsigned char>(*start)]
                                                    : ActionFor(character);
        if (action == kKeep) {
            out.Append(start, static_cast<std::size_t>(at - start));
            continue;
        }
        ++count;
        if (action == kDelete) continue;
        if (flags_.squeeze && lastTranslatedEnd == out.size() && lastTranslated == action) continue;
        char encoded[kLongestCharacter];
        out.Append(encoded, EncodeCharacter(encoding_, static_cast<std::uint32_t>(action), encoded));
        lastTranslated = action;
        lastTranslatedEnd = out.size();
    }
    return count;
}

}  // namespace regexlib
