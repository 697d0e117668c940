#include "translation.h"

#include <algorithm>

namespace regexlib {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// \xHH (up to two digits) or \x{H...}; `at` is just past the 'x'.
const char* ReadHexEscape(const char* at, const char* end, std::uint32_t& character) {
    character = 0;
    if (at < end && *at == '{') {
        for (++at; at < end && *at != '}'; ++at) {
            if (HexValue(*at) < 0) continue;
            character = std::min<std::uint32_t>(character * 16 + HexValue(*at), 0x10FFFF);
        }
        return at < end ? at + 1 : at;
    }
    for (int digits = 0; digits < 2 && at < end && HexValue(*at) >= 0; ++digits, ++at) {
        character = character * 16 + HexValue(*at);
    }
    return at;
}

// One list item after a backslash; `at` is just past the backslash.
const char* ReadEscapedCharacter(const char* at, const char* end, TextEncoding encoding,
                                 std::uint32_t& character) {
    switch (*at) {
        case 'n': character = '\n'; return at + 1;
        case 't': character = '\t'; return at + 1;
        case 'r': character = '\r'; return at + 1;
        case 'f': character = '\f'; return at + 1;
        case 'e': character = 0x1B; return at + 1;
        case 'a': character = 0x07; return at + 1;
        case '0': character = 0; return at + 1;
        case 'x': return ReadHexEscape(at + 1, end, character);
        default: character = DecodeCharacter(encoding, at, end); return at;
    }
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

}  // namespace

bool ExpandTranslationList(const std::string& list, TextEncoding encoding,
                           std::vector<std::uint32_t>& characters, std::string& message) {
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
        // A '-' between two items makes a range; first or last it is literal.
        if (at + 1 < end && *at == '-') {
            std::uint32_t last = 0;
            at = ReadListItem(at + 1, end, encoding, last, escaped);
            if (last < first) {
                message = "invalid range in a translation list";
                return false;
            }
            last = std::min(last, largest);
            for (std::uint32_t c = first; c <= last && first <= largest; ++c) characters.push_back(c);
            continue;
        }
        if (first <= largest) characters.push_back(first);
    }
    return true;
}

bool TranslationTable::Compile(const std::string& searchList, const std::string& replacementList,
                               const TranslationFlags& flags, TextEncoding encoding,
                               std::string& message) {
    flags_ = flags;
    encoding_ = encoding;
    std::vector<std::uint32_t> search;
    if (!ExpandTranslationList(searchList, encoding, search, message) ||
        !ExpandTranslationList(replacementList, encoding, replacement_, message)) {
        return false;
    }
    searchIndex_.clear();
    // The first place of a repeated character is the one that counts.
    for (std::size_t i = 0; i < search.size(); ++i) searchIndex_.emplace(search[i], i);
    sortedSearch_.clear();
    for (const auto& entry : searchIndex_) sortedSearch_.push_back(entry.first);
    std::sort(sortedSearch_.begin(), sortedSearch_.end());
    plainByteMap_ = !flags.squeeze;
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        const std::int64_t action = ActionFor(byte);
        byteAction_[byte] = action;
        byteCounted_[byte] = action != kKeep;
        byteMap_[byte] = static_cast<char>(action == kKeep ? byte : action);
        if (action == kDelete) plainByteMap_ = false;
    }
    return true;
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
    const auto found = searchIndex_.find(character);
    if (!flags_.complement) {
        return found == searchIndex_.end() ? kKeep : ActionForIndex(character, found->second);
    }
    if (found != searchIndex_.end()) return kKeep;
    // The complement lists every other character in ascending order, so a
    // character's place in it is its value less the listed ones below it.
    const auto below = std::lower_bound(sortedSearch_.begin(), sortedSearch_.end(), character);
    const std::size_t index = character - static_cast<std::size_t>(below - sortedSearch_.begin());
    return ActionForIndex(character, index);
}

std::size_t TranslationTable::ApplyBytes(const char* begin, const char* end, std::string& out) const {
    const auto length = static_cast<std::size_t>(end - begin);
    out.resize(length);
    char* written = &out[0];
    if (plainByteMap_) {
        std::size_t count = 0;
        const auto* bytes = reinterpret_cast<const unsigned char*>(begin);
        for (std::size_t i = 0; i < length; ++i) {
            written[i] = byteMap_[bytes[i]];
            count += byteCounted_[bytes[i]];
        }
        return count;
    }
    std::size_t count = 0;
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
    out.resize(static_cast<std::size_t>(written - out.data()));
    return count;
}

std::size_t TranslationTable::Apply(const char* begin, const char* end, std::string& out) const {
    if (encoding_ == TextEncoding::Bytes) return ApplyBytes(begin, end, out);
    out.clear();
    out.reserve(static_cast<std::size_t>(end - begin));
    std::size_t count = 0;
    std::size_t lastTranslatedEnd = std::string::npos;  // output size after it
    std::int64_t lastTranslated = kKeep;
    for (const char* at = begin; at < end;) {
        const char* start = at;
        const std::uint32_t character = DecodeCharacter(encoding_, at, end);
        const std::int64_t action = at - start == 1 ? byteAction_[static_cast<unsigned char>(*start)]
                                                    : ActionFor(character);
        if (action == kKeep) {
            out.append(start, static_cast<std::size_t>(at - start));
            continue;
        }
        ++count;
        if (action == kDelete) continue;
        if (flags_.squeeze && lastTranslatedEnd == out.size() && lastTranslated == action) continue;
        AppendCharacter(encoding_, static_cast<std::uint32_t>(action), out);
        lastTranslated = action;
        lastTranslatedEnd = out.size();
    }
    return count;
}

}  // namespace regexlib
