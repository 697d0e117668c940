// The linear-time engine beside PCRE2: RE2 on the pattern as
// linear_pattern.h writes it out. PCRE2 answers every search; when one stops
// on a resource limit, its pattern's LinearEngine answers instead where it
// can answer exactly as PCRE2 would, in time linear in the text. One object
// per compiled pattern, made at its first such search and shared by its
// twins; read only once made, so threads search with it at once. Its RE2
// objects are built when a search first needs them and held, all patterns'
// together, within kLinearEngineBudget bytes: past it the least recently
// used goes first, and is built again if needed.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "engines/linear_pattern.h"
#include "engines/pattern_engine.h"

namespace re2 {
class RE2;
}

namespace regexlib {

class LinearEngine {
public:
    // `groupCount` is PCRE2's for the pattern: RE2 must count the same.
    LinearEngine(const std::string& pattern, const PatternOptions& options, int groupCount);
    ~LinearEngine();
    LinearEngine(const LinearEngine&) = delete;
    LinearEngine& operator=(const LinearEngine&) = delete;

    enum class Answer {
        Matched,   // `groups` hold the match and its groups, as PCRE2 would
        NoMatch,
        StartsAt,  // the match starts at `start`; its end and groups are PCRE2's to find
        Declined,  // no answer for this pattern, or for this subject
    };

    // Searches [begin, end) from begin + startOffset, with Perl's rule after
    // an empty match when notEmptyAtStart. `groups` has GroupCount() + 1
    // places.
    Answer Search(const char* begin, const char* end, std::size_t startOffset, bool notEmptyAtStart,
                  GroupSpan* groups, std::size_t& start) const;

    // Why every search is declined; empty when the pattern was read.
    const std::string& Declined() const { return pattern_.declined; }

private:
    // The RE2 objects a pattern may need: perl's $ as \z or before the only
    // "\n", each leftmost-first (as PCRE2) or leftmost-longest.
    static constexpr int kVariants = 4;
    std::shared_ptr<const re2::RE2> Object(int variant) const;
    bool VariantFor(const char* begin, const char* end, int& variant) const;

    LinearPattern pattern_;
    TextEncoding encoding_;
    int groupCount_;
    mutable std::mutex mutex_;
    mutable std::weak_ptr<const re2::RE2> objects_[kVariants];
    mutable bool unbuildable_[kVariants] = {};
};

}  // namespace regexlib
