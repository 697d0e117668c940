#include "engines/character_sets.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace regexlib {
namespace {

constexpr std::uint32_t kSurrogateFirst = 0xD800;
constexpr std::uint32_t kSurrogateLast = 0xDFFF;

std::string Escaped(std::uint32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "\\x{%X}", static_cast<unsigned>(character));
    return text;
}

// Every character of the encoding once, in ascending order: a run of them
// that a pattern matches is a range of the set.
std::string AllCharacters(TextEncoding encoding) {
    std::string all;
    const std::uint32_t largest = LargestCharacter(encoding);
    all.reserve(encoding == TextEncoding::Bytes ? 256 : 4 * 0x110000);
    char encoded[kLongestCharacter];
    for (std::uint32_t character = 0; character <= largest; ++character) {
        if (encoding == TextEncoding::Utf8 && character == kSurrogateFirst) character = kSurrogateLast + 1;
        all.append(encoded, EncodeCharacter(encoding, character, encoded));
    }
    return all;
}

// The item's flags as perl's inline flags, where they differ from the
// pattern's own: PCRE2 gets the same reading as in the whole pattern.
std::string InlineFlags(const SetFlags& flags) {
    if (flags.asciiLevel == flags.outerAscii) return "";
    if (flags.asciiLevel == 0) return "(?u)";
    return flags.asciiLevel == 1 ? "(?a)" : "(?aa)";
}

bool EnumerateWithPcre2(const std::string& item, const SetFlags& flags, CharacterSet& set) {
    PatternOptions options;
    options.caseless = flags.caseless;
    options.asciiLevel = flags.outerAscii;
    options.encoding = flags.encoding;
    std::string message;
    const std::unique_ptr<PatternEngine> engine =
        CompilePcre2(InlineFlags(flags) + "[" + item + "]+", options, message);
    if (engine == nullptr) return false;
    const std::string all = AllCharacters(flags.encoding);
    const char* const begin = all.data();
    const char* const end = begin + all.size();
    std::size_t from = 0;
    while (from < all.size()) {
        if (engine->Search(begin, end, from, false, message) != SearchOutcome::Matched) break;
        const GroupSpan run = engine->Group(0);
        const char* at = begin + run.start;
        const std::uint32_t first = DecodeCharacter(flags.encoding, at, end);
        at = begin + run.end - 1;
        while (flags.encoding == TextEncoding::Utf8 && (static_cast<unsigned char>(*at) & 0xC0) == 0x80) --at;
        set.Add(first, DecodeCharacter(flags.encoding, at, end));
        from = static_cast<std::size_t>(run.end);
    }
    return true;
}

// The sets asked for under UTF-8, where a question costs a search of all
// 1.1 million code points. Few distinct items appear in practice; past the
// bound the whole store starts again.
class KeptSets {
public:
    bool Find(const std::string& key, CharacterSet& set) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = sets_.find(key);
        if (found == sets_.end()) return false;
        set.Add(found->second);
        return true;
    }
    void Keep(const std::string& key, const CharacterSet& set) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (sets_.size() >= kMostKept) sets_.clear();
        sets_[key] = set;
    }

private:
    static constexpr std::size_t kMostKept = 256;
    std::mutex mutex_;
    std::map<std::string, CharacterSet> sets_;
};

}  // namespace

void CharacterSet::Add(std::uint32_t first, std::uint32_t last) {
    if (first > last) return;
    auto at = std::lower_bound(ranges_.begin(), ranges_.end(), first,
                               [](const Range& range, std::uint32_t value) { return range.last + 1 < value; });
    // `at` is the first range that ends at or after first - 1: it and those
    // after it that start by last + 1 merge with the new one.
    auto past = at;
    while (past != ranges_.end() && past->first <= last + 1) {
        first = std::min(first, past->first);
        last = std::max(last, past->last);
        ++past;
    }
    at = ranges_.erase(at, past);
    ranges_.insert(at, Range{first, last});
}

void CharacterSet::Add(const CharacterSet& other) {
    for (const Range& range : other.ranges_) Add(range.first, range.last);
}

CharacterSet CharacterSet::Complement(std::uint32_t largest) const {
    CharacterSet complement;
    std::uint32_t next = 0;
    for (const Range& range : ranges_) {
        if (range.first > next) complement.ranges_.push_back({next, range.first - 1});
        next = range.last + 1;
    }
    if (next <= largest && (ranges_.empty() || ranges_.back().last < largest)) {
        complement.ranges_.push_back({next, largest});
    }
    return complement;
}

std::string CharacterSet::AsRe2() const {
    if (HoldsOne()) return Escaped(ranges_[0].first);
    std::string written = "[";
    for (Range range : ranges_) {
        // RE2 takes no surrogate in a UTF-8 class; a byte range never reaches them.
        if (range.first >= kSurrogateFirst && range.last <= kSurrogateLast) continue;
        if (range.first < kSurrogateFirst && range.last >= kSurrogateFirst) {
            if (range.last > kSurrogateLast) written += Escaped(kSurrogateLast + 1) + "-" + Escaped(range.last);
            range.last = kSurrogateFirst - 1;
        } else if (range.first >= kSurrogateFirst && range.first <= kSurrogateLast) {
            range.first = kSurrogateLast + 1;
        }
        written += Escaped(range.first);
        if (range.last != range.first) written += "-" + Escaped(range.last);
    }
    // An empty class: RE2 reads [^\x00-\x{10FFFF}] as one that matches nothing.
    return written.size() == 1 ? "[^\\x00-\\x{10FFFF}]" : written + "]";
}

std::uint32_t LargestCharacter(TextEncoding encoding) { return encoding == TextEncoding::Bytes ? 0xFF : 0x10FFFF; }

bool SetOfClassItem(const std::string& item, const SetFlags& flags, CharacterSet& set) {
    if (flags.encoding == TextEncoding::Bytes) return EnumerateWithPcre2(item, flags, set);
    static KeptSets kept;
    const std::string key = item + '\0' + static_cast<char>('0' + flags.caseless) +
                            static_cast<char>('0' + flags.asciiLevel) + static_cast<char>('0' + flags.outerAscii);
    CharacterSet found;
    if (kept.Find(key, found)) {
        set.Add(found);
        return true;
    }
    if (!EnumerateWithPcre2(item, flags, found)) return false;
    kept.Keep(key, found);
    set.Add(found);
    return true;
}

}  // namespace regexlib
