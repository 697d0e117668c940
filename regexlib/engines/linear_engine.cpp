#include "engines/linear_engine.h"

#include <re2/re2.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <new>
#include <vector>

#include "engines/engine_limits.h"

namespace regexlib {
namespace {

using Re2Object = std::shared_ptr<const re2::RE2>;

// Every RE2 object of the process, most recently used first. Each counts as
// the memory RE2 may grow it to, so that the sum bounds what they hold. A
// search keeps its own reference: an object dropped here meanwhile is freed
// when that search ends.
class HeldObjects {
public:
    static HeldObjects& Process() {
        static HeldObjects held;
        return held;
    }

    void Hold(const Re2Object& object) {
        std::lock_guard<std::mutex> lock(mutex_);
        held_.push_front(object);
        while (held_.size() * kLinearObjectBytes > kLinearEngineBudget) held_.pop_back();
    }

    void Touch(const re2::RE2* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = Find(object);
        if (found != held_.end()) held_.splice(held_.begin(), held_, found);
    }

    void Forget(const re2::RE2* object) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = Find(object);
        if (found != held_.end()) held_.erase(found);
    }

private:
    std::list<Re2Object>::iterator Find(const re2::RE2* object) {
        return std::find_if(held_.begin(), held_.end(), [object](const Re2Object& held) { return held.get() == object; });
    }

    std::mutex mutex_;
    std::list<Re2Object> held_;
};

bool IsAscii(const char* begin, const char* end) {
    return std::all_of(begin, end, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// No text of this length or more is searched by RE2's bit-state engine.
constexpr std::size_t kBitStateTextBound = 256 * 1024;

// Where a match RE2 found lies, as offsets.
struct Span {
    std::size_t start;
    std::size_t end;
};

Span SpanOf(const re2::StringPiece& piece, const char* begin) {
    const auto start = static_cast<std::size_t>(piece.data() - begin);
    return {start, start + piece.size()};
}

// The groups RE2 found, as offsets; one that took no part stays unset.
void CopyGroups(const std::vector<re2::StringPiece>& found, const char* begin, GroupSpan* groups) {
    for (std::size_t index = 0; index < found.size(); ++index) {
        const re2::StringPiece& piece = found[index];
        if (piece.data() == nullptr) {
            groups[index] = GroupSpan{};
            continue;
        }
        const Span span = SpanOf(piece, begin);
        groups[index] = {static_cast<std::ptrdiff_t>(span.start), static_cast<std::ptrdiff_t>(span.end)};
    }
}

// RE2's leftmost match from `from`, with as many groups as `found` holds.
// Asked for groups on a text short enough for its bit-state engine (at
// most 256 Kibit over its program's list count), RE2 runs that at once,
// without its DFA, which alone says "no match" many times faster: a host's
// loop over lines mostly fails. On longer texts RE2 runs its DFA first.
bool Find(const re2::RE2& object, const re2::StringPiece& text, std::size_t from,
          std::vector<re2::StringPiece>& found) {
    const int wanted = static_cast<int>(found.size());
    const bool testFirst = wanted > 1 && text.size() < kBitStateTextBound;
    if (testFirst && !object.Match(text, from, text.size(), re2::RE2::UNANCHORED, nullptr, 0)) return false;
    return object.Match(text, from, text.size(), re2::RE2::UNANCHORED, found.data(), wanted);
}

}  // namespace

LinearEngine::LinearEngine(const std::string& pattern, const PatternOptions& options, int groupCount)
    : pattern_(ReadLinearPattern(pattern, options)), encoding_(options.encoding), groupCount_(groupCount) {}

LinearEngine::~LinearEngine() {
    for (const auto& object : objects_) {
        if (const Re2Object held = object.lock()) HeldObjects::Process().Forget(held.get());
    }
}

std::shared_ptr<const re2::RE2> LinearEngine::Object(int variant) const {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (unbuildable_[variant]) return nullptr;
        if (Re2Object held = objects_[variant].lock()) {
            HeldObjects::Process().Touch(held.get());
            return held;
        }
    }
    re2::RE2::Options options;
    options.set_encoding(encoding_ == TextEncoding::Bytes ? re2::RE2::Options::EncodingLatin1
                                                          : re2::RE2::Options::EncodingUTF8);
    options.set_longest_match(variant % 2 == 1);
    options.set_log_errors(false);
    options.set_max_mem(static_cast<std::int64_t>(kLinearObjectBytes));
    const std::string& text = variant / 2 == 0 ? pattern_.endAtEnd : pattern_.endAtNewline;
    Re2Object made = std::make_shared<const re2::RE2>(text, options);
    std::lock_guard<std::mutex> lock(mutex_);
    // Too large for its memory, or another count of groups than PCRE2's:
    // this pattern's searches stay with PCRE2.
    if (!made->ok() || made->NumberOfCapturingGroups() != groupCount_) {
        unbuildable_[variant] = true;
        return nullptr;
    }
    if (Re2Object raced = objects_[variant].lock()) return raced;
    objects_[variant] = made;
    HeldObjects::Process().Hold(made);
    return made;
}

// RE2 cannot say "before a final newline" nor "Unicode's word boundary"; on
// most subjects the pattern can be written so that it need not.
bool LinearEngine::VariantFor(const char* begin, const char* end, int& variant) const {
    variant = 0;
    if (pattern_.hasUnicodeBoundary && !IsAscii(begin, end)) return false;
    if (!pattern_.hasDollar || begin == end || end[-1] != '\n') return true;
    if (std::memchr(begin, '\n', static_cast<std::size_t>(end - begin) - 1) != nullptr) return false;
    variant = 2;
    return true;
}

LinearEngine::Answer LinearEngine::Search(const char* begin, const char* end, std::size_t startOffset,
                                          bool notEmptyAtStart, GroupSpan* groups, std::size_t& start) const {
    if (!pattern_.declined.empty()) return Answer::Declined;
    int variant = 0;
    if (!VariantFor(begin, end, variant)) return Answer::Declined;
    try {
        const Re2Object first = Object(variant);
        if (first == nullptr) return Answer::Declined;
        const re2::StringPiece text(begin, static_cast<std::size_t>(end - begin));
        const int wanted = pattern_.groupsExact ? groupCount_ + 1 : 1;
        std::vector<re2::StringPiece> found(static_cast<std::size_t>(wanted));
        if (!Find(*first, text, startOffset, found)) return Answer::NoMatch;
        Span match = SpanOf(found[0], begin);
        if (notEmptyAtStart && match.start == startOffset && match.end == startOffset) {
            // Perl then takes the first non-empty match here, if there is
            // one; RE2 cannot be told to. Where the longest match here is
            // empty there is none, and the search goes on a character later.
            const Re2Object longest = Object(variant + 1);
            re2::StringPiece longestMatch;
            if (longest == nullptr ||
                !longest->Match(text, startOffset, text.size(), re2::RE2::ANCHOR_START, &longestMatch, 1)) {
                return Answer::Declined;
            }
            if (!longestMatch.empty()) {
                const bool mayUseFinalCaret = pattern_.hasMultilineCaret &&
                                              SpanOf(longestMatch, begin).end == text.size() && end[-1] == '\n';
                if (mayUseFinalCaret) return Answer::Declined;
                start = startOffset;
                return Answer::StartsAt;
            }
            if (startOffset >= text.size()) return Answer::NoMatch;
            const std::size_t next = startOffset + CharacterLength(encoding_, begin + startOffset, end);
            if (!Find(*first, text, next, found)) return Answer::NoMatch;
            match = SpanOf(found[0], begin);
        }
        // A match that ends after a final "\n" may owe itself to RE2's ^
        // there, which PCRE2's does not match; any other is PCRE2's too.
        if (pattern_.hasMultilineCaret && match.end == text.size() && !text.empty() && end[-1] == '\n') {
            return Answer::Declined;
        }
        if (!pattern_.groupsExact) {
            start = match.start;
            return Answer::StartsAt;
        }
        CopyGroups(found, begin, groups);
        return Answer::Matched;
    } catch (const std::bad_alloc&) {
        return Answer::Declined;
    }
}

}  // namespace regexlib
