// The linear engine against PCRE2 on generated regular patterns over a small
// alphabet, in bytes and UTF-8: every answer it gives must be PCRE2's (the
// same groups, the same start, or no match), and it must answer most cases.
// A failing case prints the pattern, flags, subject and start.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engines/linear_engine.h"
#include "entry_point_calls.h"
#include "engines/pattern_engine.h"

namespace regexlib {
namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    int Below(int bound) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(bound));
    }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename List>
    const char* Pick(const List& list) { return list[Below(static_cast<int>(std::size(list)))]; }

private:
    std::uint64_t state_;
};

struct Mode {
    TextEncoding encoding;
    std::vector<const char*> high;  // characters beyond ASCII, with case pairs
};
const Mode kModes[] = {
    {TextEncoding::Bytes, {"\xE9", "\xC9"}},
    {TextEncoding::Utf8, {"\xC3\xA9", "\xC3\x89", "\xCE\xB1", "\xE2\x84\xAA"}},
};

class Generator {
public:
    Generator(std::uint64_t seed, const Mode& mode) : random_(seed), mode_(mode) {}

    std::string Pattern() { return Alternatives(0); }

    PatternOptions Options() {
        PatternOptions options;
        options.encoding = mode_.encoding;
        options.caseless = random_.Chance(25);
        options.multiline = random_.Chance(20);
        options.dotAll = random_.Chance(20);
        options.asciiLevel = random_.Chance(10) ? 1 + random_.Below(2) : 0;
        return options;
    }

    std::string Subject() {
        static const char* const kPlain[] = {"a", "b", "a", "b", "A", "B", " ", "\n", "1", "ab", "-"};
        std::string subject;
        for (int i = random_.Below(9); i > 0; --i) subject += random_.Chance(12) ? High() : random_.Pick(kPlain);
        return subject;
    }

    Random& random() { return random_; }

private:
    const char* High() { return random_.Pick(mode_.high); }

    std::string Alternatives(int depth) {
        std::string pattern = Sequence(depth);
        while (random_.Chance(20)) pattern += "|" + Sequence(depth);
        return pattern;
    }

    std::string Atom(int depth) {
        static const char* const kAtoms[] = {"a", "b", "a", "b", ".", "[ab]", "[^a]", "[a-c]", "\\d", "\\w", "\\s",
                                             "\\W", " ", "[[:alpha:]]", "\\x62", "(?i)a", "(?i:b)", "\\n"};
        static const char* const kGroups[] = {"(", "(?:", "(?<n>", "(?i:"};
        const int choice = random_.Below(20);
        if (choice < 5 && depth < 3) return random_.Pick(kGroups) + Alternatives(depth + 1) + ")";
        if (choice < 7) return High();
        return random_.Pick(kAtoms);
    }

    std::string Sequence(int depth) {
        static const char* const kQuantifiers[] = {"*", "+", "?", "{1,2}", "*?", "+?", "??", "{2}", "{,2}", "{2,}"};
        static const char* const kAnchors[] = {"^", "$", "\\b", "\\B", "\\A", "\\z", "\\Z"};
        std::string sequence;
        for (int i = random_.Below(4); i > 0; --i) {
            if (random_.Chance(10)) sequence += random_.Pick(kAnchors);
            sequence += Atom(depth);
            if (random_.Chance(40)) sequence += random_.Pick(kQuantifiers);
        }
        return sequence;
    }

    Random random_;
    const Mode& mode_;
};

struct Tally {
    int answered = 0;
    int declined = 0;
    int failures = 0;
};

std::string Describe(const std::string& pattern, const PatternOptions& options, const std::string& subject,
                     std::size_t start, bool notEmpty) {
    std::ostringstream text;
    text << (options.encoding == TextEncoding::Utf8 ? "utf8" : "bytes") << " /" << pattern << "/"
         << (options.caseless ? "i" : "") << (options.multiline ? "m" : "") << (options.dotAll ? "s" : "")
         << (options.asciiLevel == 1 ? "a" : options.asciiLevel == 2 ? "aa" : "") << " on \"" << subject
         << "\" from " << start << (notEmpty ? " not empty at start" : "");
    return text.str();
}

// One search on both engines; false (with the case) where they disagree.
::testing::AssertionResult SameAnswer(PatternEngine& pcre2, const LinearEngine& linear, const std::string& subject,
                                      std::size_t start, bool notEmpty, Tally& tally) {
    const char* const begin = subject.data();
    const char* const end = begin + subject.size();
    std::string message;
    const SearchOutcome outcome = pcre2.Search(begin, end, start, notEmpty, message);
    std::vector<GroupSpan> groups(static_cast<std::size_t>(pcre2.GroupCount()) + 1);
    std::size_t matchStart = 0;
    const LinearEngine::Answer answer = linear.Search(begin, end, start, notEmpty, groups.data(), matchStart);
    if (answer == LinearEngine::Answer::Declined) {
        ++tally.declined;
        return ::testing::AssertionSuccess();
    }
    ++tally.answered;
    if (answer == LinearEngine::Answer::NoMatch) {
        if (outcome == SearchOutcome::NoMatch) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "linear: no match";
    }
    if (outcome != SearchOutcome::Matched) return ::testing::AssertionFailure() << "PCRE2: no match";
    if (answer == LinearEngine::Answer::StartsAt) {
        if (pcre2.Group(0).start == static_cast<std::ptrdiff_t>(matchStart)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "linear starts at " << matchStart << ", PCRE2 at " << pcre2.Group(0).start;
    }
    for (int index = 0; index <= pcre2.GroupCount(); ++index) {
        const GroupSpan expected = pcre2.Group(index);
        const GroupSpan got = groups[static_cast<std::size_t>(index)];
        if (expected.start != got.start || (expected.start >= 0 && expected.end != got.end)) {
            return ::testing::AssertionFailure() << "group " << index << ": PCRE2 " << expected.start << "-"
                                                 << expected.end << ", linear " << got.start << "-" << got.end;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(LinearEngine, AnswersGeneratedRegularPatternsAsPcre2Does) {
    constexpr int kPatternsPerMode = 1500;
    constexpr int kSearchesPerPattern = 4;
    for (const Mode& mode : kModes) {
        Generator generator(20261209, mode);
        Tally tally;
        for (int i = 0; i < kPatternsPerMode && tally.failures < 10; ++i) {
            const std::string pattern = generator.Pattern();
            const PatternOptions options = generator.Options();
            std::string message;
            const std::unique_ptr<PatternEngine> pcre2 = CompilePcre2(pattern, options, message);
            if (pcre2 == nullptr) continue;
            const LinearEngine linear(pattern, options, pcre2->GroupCount());
            for (int search = 0; search < kSearchesPerPattern; ++search) {
                const std::string subject = generator.Subject();
                const std::size_t start = static_cast<std::size_t>(generator.random().Below(static_cast<int>(subject.size()) + 1));
                const bool notEmpty = generator.random().Chance(25);
                const std::size_t from = mode.encoding == TextEncoding::Utf8 ? 0 : start;  // a UTF-8 start must be a boundary
                const auto same = SameAnswer(*pcre2, linear, subject, from, notEmpty, tally);
                if (!same) {
                    ++tally.failures;
                    ADD_FAILURE() << Describe(pattern, options, subject, from, notEmpty) << ": " << same.message();
                }
            }
        }
        // The cases are mostly regular: an engine that declined them all
        // would prove nothing.
        EXPECT_GT(tally.answered, 4 * tally.declined) << "answered " << tally.answered << ", declined " << tally.declined;
        std::printf("linear engine, %s: %d searches answered as PCRE2 answers, %d declined\n",
                    mode.encoding == TextEncoding::Utf8 ? "UTF-8" : "bytes", tally.answered, tally.declined);
    }
}

// What the linear engine declines: what RE2 cannot run, and subjects on
// which a rule of perl's cannot be written for RE2.
TEST(LinearEngine, DeclinesWhatItCannotAnswerExactly) {
    PatternOptions bytes;
    PatternOptions utf8;
    utf8.encoding = TextEncoding::Utf8;
    for (const char* pattern : {"(a)\\1", "a(?=b)", "(?<=a)b", "\\Ga", "a\\Kb", "(?>a)", "a*+", "(?|(a)|(b))",
                                "(?(1)a|b)", "(a(?1))", "a{1001}", "(*ACCEPT)a", "a{3,1}", "[a-\\d]",
                                "\\x{6_1}", "\\b*a"}) {
        EXPECT_FALSE(LinearEngine(pattern, bytes, 0).Declined().empty()) << pattern;
    }
    GroupSpan groups[2];
    std::size_t start = 0;
    const auto search = [&](const char* pattern, const PatternOptions& options, const std::string& subject) {
        return LinearEngine(pattern, options, 0).Search(subject.data(), subject.data() + subject.size(), 0, false,
                                                        groups, start);
    };
    // $ before a "\n" that is not the subject's only one.
    EXPECT_EQ(search("a$", bytes, "a\nb\n"), LinearEngine::Answer::Declined);
    EXPECT_EQ(search("a$", bytes, "xa\n"), LinearEngine::Answer::Matched);
    // Unicode's \b on a subject beyond ASCII.
    EXPECT_EQ(search("\\bb", utf8, "\xC3\xA9" "b"), LinearEngine::Answer::Declined);
    EXPECT_EQ(search("\\bb", utf8, "a b"), LinearEngine::Answer::Matched);
    // A loop over what can match empty: only where the match starts.
    EXPECT_EQ(search("(?:a*)+b", bytes, "xaab"), LinearEngine::Answer::StartsAt);
    EXPECT_EQ(start, 1u);
}

// Searches that backtrack without end, or outgrow the JIT stack, through the
// match entry point: each ends with perl's answer (the last two, where perl
// gives up, with the right one), the regular ones through the linear engine.
TEST(LinearEngine, EndsSearchesThatStopOnAnEngineLimit) {
    std::string words;
    for (int i = 0; i < 20; ++i) words += "word ";
    std::string bees(35, 'b');
    std::string pairs;
    for (int i = 0; i < 200'000; ++i) pairs += "ab";
    const struct {
        std::string pattern;
        std::string subject;
        const char* expected;
    } kRows[] = {
        {"/^(\\w+\\s?)*$/", words + "!", "no"},
        {"/^(\\w+\\s?)*$/k", words + "!", "no"},
        {"/a(.|\\s)*?asdf/", "a\n" + std::string(16, ' ') + "b b " + bees, "no"},
        {"/.X(.+)+X/", "bbbbXcX" + std::string(28, 'a'), "yes 3-7 5-6"},
        {"/(a|b)*c/", pairs + "c", "yes 0-400001 399999-400000"},
        {"/^(?:([^,]*),)*x$/", pairs + "," + pairs + ",x", "yes 0-800003 400001-800001"},
        {"/^(?:(a)|b)*x\\1$/", pairs + "xa", "yes 0-400002 399998-399999"},
        {"/(?<=q)(?:(a)|b)*x/", "q" + pairs + "x", "yes 1-400002 399999-400000"},
    };
    for (const auto& row : kRows) EXPECT_EQ(regexlib_test::DescribeBMatch(row.pattern, row.subject), row.expected) << row.pattern;
}

}  // namespace
}  // namespace regexlib
