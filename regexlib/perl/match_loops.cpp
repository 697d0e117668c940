#include "perl/match_loops.h"

#include <climits>
#include <cstring>

namespace regexlib {
namespace {

// Answers the pieces a split keeps once its separators are found; shared by
// the engine and memchr splits. Perl adds the rest of the subject as a last
// piece when something is left or when pieces were made under a limit, and
// with limit 0 drops trailing empty pieces instead.
int FinishSplit(const char* rest, const char* end, int limit, std::vector<char*>& pairs) {
    if (rest < end || (!pairs.empty() && limit != 0)) {
        pairs.push_back(const_cast<char*>(rest));
        pairs.push_back(const_cast<char*>(end));
    } else if (limit == 0) {
        while (!pairs.empty() && pairs[pairs.size() - 2] == pairs.back()) pairs.resize(pairs.size() - 2);
    }
    return static_cast<int>(pairs.size() / 2);
}

void AddPiece(std::vector<char*>& pairs, const char* start, const char* end) {
    pairs.push_back(const_cast<char*>(start));
    pairs.push_back(const_cast<char*>(end));
}

// Separators a split may still cut at: limit - 1 for a positive limit (the
// last piece is the rest), otherwise no bound.
long SeparatorsAllowed(int limit) { return limit > 0 ? static_cast<long>(limit) - 1 : LONG_MAX; }

}  // namespace

int SubstituteMatches(PatternEngine& engine, const ReplacementProgram& replacement, bool global,
                      const char* begin, const char* end, OutputText& out, std::string& message) {
    out.Clear();
    engine.NewSubject();
    int count = 0;
    std::size_t searchFrom = 0;
    std::size_t copiedUpTo = 0;
    bool lastWasEmpty = false;
    const auto length = static_cast<std::size_t>(end - begin);
    while (searchFrom <= length) {
        const SearchOutcome outcome = engine.Search(begin, end, searchFrom, lastWasEmpty, message);
        if (outcome == SearchOutcome::Failed) return -1;
        if (outcome == SearchOutcome::NoMatch) break;
        const GroupSpan match = engine.Group(0);
        if (count == 0) out.Reserve(length + length / 8 + 16);
        out.Append(begin + copiedUpTo, static_cast<std::size_t>(match.start) - copiedUpTo);
        replacement.Expand(begin, end, engine, out);
        copiedUpTo = static_cast<std::size_t>(match.end);
        if (count < INT_MAX) ++count;
        if (!global) break;
        searchFrom = static_cast<std::size_t>(match.end);
        lastWasEmpty = match.start == match.end;
    }
    out.Append(begin + copiedUpTo, length - copiedUpTo);
    return count;
}

int SplitPieces(PatternEngine& engine, const char* begin, const char* end, int limit,
                std::vector<char*>& pairs, std::string& message) {
    pairs.clear();
    engine.NewSubject();
    const int groups = engine.GroupCount();
    const auto length = static_cast<std::size_t>(end - begin);
    std::size_t rest = 0;
    for (long allowed = SeparatorsAllowed(limit); rest < length && allowed > 0; --allowed) {
        // A separator may never be empty where the current piece starts: that
        // is why a zero-width match at the start makes no empty first piece.
        const SearchOutcome outcome = engine.Search(begin, end, rest, true, message);
        if (outcome == SearchOutcome::Failed) return -1;
        if (outcome == SearchOutcome::NoMatch) break;
        const GroupSpan separator = engine.Group(0);
        AddPiece(pairs, begin + rest, begin + separator.start);
        for (int group = 1; group <= groups; ++group) {
            const GroupSpan span = engine.Group(group);
            if (span.start >= 0) {
                AddPiece(pairs, begin + span.start, begin + span.end);
            } else {
                AddPiece(pairs, begin + separator.start, begin + separator.start);
            }
        }
        rest = static_cast<std::size_t>(separator.end);
    }
    return FinishSplit(begin + rest, end, limit, pairs);
}

int SplitOnByte(char separator, const char* begin, const char* end, int limit,
                std::vector<char*>& pairs) {
    pairs.clear();
    const char* rest = begin;
    for (long allowed = SeparatorsAllowed(limit); rest < end && allowed > 0; --allowed) {
        const auto* found = static_cast<const char*>(
            std::memchr(rest, separator, static_cast<std::size_t>(end - rest)));
        if (found == nullptr) break;
        AddPiece(pairs, rest, found);
        rest = found + 1;
    }
    return FinishSplit(rest, end, limit, pairs);
}

}  // namespace regexlib
