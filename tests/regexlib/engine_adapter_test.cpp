// One table of Perl-semantics cases run against each adapter (PCRE2 in byte
// mode, and Shift_JIS texts converted to UTF-8 for PCRE2) through the shared
// match, substitution and split loops. Where the encodings' answers differ,
// the row says so.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engines/pattern_engine.h"
#include "perl/match_loops.h"
#include "perl/replacement.h"

namespace regexlib {
namespace {

enum class Operation { Match, Substitute, SubstituteAll, Split };

struct SemanticsRow {
    Operation operation;
    const char* pattern;
    const char* flags;  // i, m, s, x
    const char* subject;
    const char* expected;
    const char* replacement = "";  // substitutions only
    int limit = 0;                  // splits only
    const char* shiftJisExpected = nullptr;  // a known difference, explained at the row
};

PatternOptions OptionsFor(const char* flags, TextEncoding encoding) {
    PatternOptions options;
    options.encoding = encoding;
    for (const char* f = flags; *f != '\0'; ++f) {
        if (*f == 'i') options.caseless = true;
        if (*f == 'm') options.multiline = true;
        if (*f == 's') options.dotAll = true;
        if (*f == 'x') options.extended = true;
    }
    return options;
}

// "no", or each group's "start-end" ("-" when idle) after "yes".
std::string DescribeMatch(PatternEngine& engine, const std::string& subject) {
    std::string message;
    const SearchOutcome outcome =
        engine.Search(subject.data(), subject.data() + subject.size(), 0, false, message);
    if (outcome == SearchOutcome::Failed) return "failed: " + message;
    if (outcome == SearchOutcome::NoMatch) return "no";
    std::string text = "yes";
    for (int group = 0; group <= engine.GroupCount(); ++group) {
        const GroupSpan span = engine.Group(group);
        text += span.start < 0 ? std::string(" -") : " " + std::to_string(span.start) + "-" + std::to_string(span.end);
    }
    return text;
}

std::string DescribeSubstitution(PatternEngine& engine, const SemanticsRow& row, TextEncoding encoding) {
    ReplacementProgram replacement;
    std::string message;
    if (!replacement.Compile(row.replacement, encoding, engine, message)) return "replacement failed: " + message;
    const std::string subject = row.subject;
    OutputText out;
    const int count = SubstituteMatches(engine, replacement, row.operation == Operation::SubstituteAll,
                                        subject.data(), subject.data() + subject.size(), out, message);
    if (count < 0) return "failed: " + message;
    return std::to_string(count) + ":" + std::string(out.data(), out.size());
}

// The number of pieces, then each piece between bars.
std::string DescribeSplit(PatternEngine& engine, const SemanticsRow& row) {
    const std::string subject = row.subject;
    std::vector<char*> pairs;
    std::string message;
    const int pieces = SplitPieces(engine, subject.data(), subject.data() + subject.size(), row.limit, pairs, message);
    if (pieces < 0) return "failed: " + message;
    std::string text = std::to_string(pieces);
    for (int piece = 0; piece < pieces; ++piece) text += "|" + std::string(pairs[2 * piece], pairs[2 * piece + 1]);
    return text;
}

const char* NameOf(TextEncoding encoding) {
    return encoding == TextEncoding::ShiftJis ? "Shift_JIS as Unicode" : "PCRE2 on bytes";
}

::testing::AssertionResult FollowsPerl(TextEncoding encoding, const SemanticsRow& row) {
    std::string message;
    auto engine = CompilePattern(row.pattern, OptionsFor(row.flags, encoding), message);
    std::string actual = "compile failed: " + message;
    if (engine != nullptr) {
        switch (row.operation) {
            case Operation::Match: actual = DescribeMatch(*engine, row.subject); break;
            case Operation::Substitute:
            case Operation::SubstituteAll: actual = DescribeSubstitution(*engine, row, encoding); break;
            case Operation::Split: actual = DescribeSplit(*engine, row); break;
        }
    }
    const char* expected =
        encoding == TextEncoding::ShiftJis && row.shiftJisExpected != nullptr ? row.shiftJisExpected : row.expected;
    if (actual == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << NameOf(encoding) << " /" << row.pattern << "/" << row.flags << " on \""
                                         << row.subject << "\": got \"" << actual << "\", expected \"" << expected
                                         << "\"";
}

const Operation M = Operation::Match;
const Operation S = Operation::Substitute;
const Operation G = Operation::SubstituteAll;
const Operation P = Operation::Split;

const SemanticsRow kRows[] = {
    // Matching: leftmost, then the first alternative; groups in bytes.
    {M, "b+", "", "abbbc", "yes 1-4"},
    {M, "x", "", "abc", "no"},
    {M, "", "", "", "yes 0-0"},
    {M, "a|ab", "", "ab", "yes 0-1"},
    {M, "(a)|(b)", "", "b", "yes 0-1 - 0-1"},
    {M, "(a)(x)?", "", "a", "yes 0-1 0-1 -"},
    {M, "(?<first>a)(b)", "", "ab", "yes 0-2 0-1 1-2"},
    {M, "(?:a)(b)", "", "ab", "yes 0-2 1-2"},
    {M, "a*?b", "", "aab", "yes 0-3"},
    {M, "A", "i", "xa", "yes 1-2"},
    {M, "[A-C]+", "i", "abcd", "yes 0-3"},
    {M, "^b", "", "a\nb", "no"},
    {M, "^b", "m", "a\nb", "yes 2-3"},
    {M, "a$", "", "a\n", "yes 0-1"},
    {M, "a$", "", "a\nb", "no"},
    {M, "a$", "m", "a\nb", "yes 0-1"},
    {M, "a\\z", "", "a\n", "no"},
    {M, "a\\Z", "", "a\n", "yes 0-1"},
    {M, "\\Aa", "m", "b\na", "no"},
    {M, "a.b", "", "a\nb", "no"},
    {M, "a.b", "s", "a\nb", "yes 0-3"},
    {M, "a b # comment", "x", "ab", "yes 0-2"},
    {M, "\\bfoo\\b", "", "a foo.", "yes 2-5"},
    {M, "\\d+", "", "ab123", "yes 2-5"},
    {M, "\\s\\S", "", "a b", "yes 1-3"},
    {M, "(a+)+b", "", "aaab", "yes 0-4 0-3"},
    {M, "(?=b)", "", "ab", "yes 1-1"},
    {M, "(?<=a)b", "", "ab", "yes 1-2"},
    {M, "(a)\\1", "", "xaa", "yes 1-3 1-2"},
    {M, "a{2,3}", "", "aaaa", "yes 0-3"},
    // A class repeated from zero, then a path that starts with a literal:
    // PCRE2's JIT skipped such starts until our fix to its prefix scan.
    {M, "abcd[ab]{0,2}|x", "", "x", "yes 0-1"},
    {M, "x?abcd[ab]{0,2}", "", "abcd", "yes 0-4"},
    // Possessive quantifiers and atomic groups, where PCRE2's own
    // possessification must stay off to give Perl's answers. In Perl and
    // PCRE2 a '+' after white space (x), a comment or an empty \Q\E is
    // possessive too.
    {M, "\\d+(?:,)?+\\d", "", "123", "yes 0-3"},
    {M, "(?>[a-c]*|b)[b-]a", "", "abba_", "no"},
    {M, "(?:_(x)*+B|\\.)", "", "_xxx.", "yes 4-5 -"},
    {M, "\\d+(?:,){0,1}+\\d", "", "123", "yes 0-3"},
    {M, "\\d+(?:,)? +\\d", "x", "123", "yes 0-3"},
    {M, "\\d+(?:,)?#c\n+\\d", "x", "123", "yes 0-3"},
    {M, "\\d+(?:,)?(?#c)+\\d", "", "123", "yes 0-3"},
    {M, "\\d+(?:,)?\\Q\\E+\\d", "", "123", "yes 0-3"},
    {M, "a+ +a", "x", "aaa", "no"},
    // Substitution, first match and global; an idle group inserts nothing.
    {S, "b", "", "abcb", "1:aXcb", "X"},
    {G, "b", "", "abcb", "2:aXcX", "X"},
    {G, "x", "", "abc", "0:abc", "X"},
    {G, "(a)|(b)", "", "ab", "2:[a][b]", "[$1$2]"},
    {G, "(\\w+) (\\w+)", "", "hello world", "1:world hello", "$2 $1"},
    {G, "o", "", "foo", "2:f<o><o>", "<$&>"},
    {G, "(o)", "", "foo", "2:f\\1\\1", "\\\\1"},
    {G, "(o)", "", "foo", "2:foo", "\\1"},
    {G, "(o)", "", "fo", "1:f{o}", "{${1}}"},
    // Known difference: perl interpolates the variable $x (empty here, "f");
    // a replacement has no variables, so a '$' before a name stays literal.
    {G, "o", "", "fo", "1:f$x", "$x"},
    {G, "o", "", "fo", "1:f\n", "\\n"},
    // The text before and after the match, from the whole subject.
    {G, "b|c", "", "abc", "2:a[a|b|c][ab|c|]", "[$`|$&|$']"},
    // $+ is the highest-numbered group that took part.
    {S, "(a)|(b)", "", "b", "1:<b>", "<$+>"},
    {S, "(a)(x)?", "", "a", "1:<a>", "<$+>"},
    {S, "((a)b)", "", "ab", "1:<a>", "<$+>"},
    {S, "x", "", "x", "1:<>", "<$+>"},
    // $+{name} and ${name}; Perl would read ${name} as its variable $name.
    {S, "(?<w>b)", "", "abc", "1:a<b|b>c", "<$+{w}|${w}>"},
    {S, "(?<w>b)", "", "abc", "1:a<${v}|>c", "<${v}|$+{v}>"},
    // Case escapes: a level lasts to \E or the end, \L or \U ends the last
    // \L or \U, \L\u reads as \u\L. In bytes only ASCII changes case, and
    // \Q quotes every byte but [A-Za-z0-9_].
    {G, "(\\w+)", "", "hello wORLD", "2:Hello World", "\\u\\L$1"},
    {G, "(\\w+)", "", "HELLO", "1:Hello", "\\L\\u$1"},
    {S, "(a)(b)", "", "ab", "1:X\\.Y.z.w", "\\Ux\\Q.y\\L.Z\\E.w"},
    {S, "(a)(b)", "", "ab", "1:ABcd", "\\Ua\\ub\\Ec\\Ed"},
    {S, "(a)(b)", "", "ab", "1:ab", "\\U\\E$1$2"},
    // (In Shift_JIS the lone lead byte 0xE9 is no character: not quoted.)
    {S, "(.+)", "", "x\xE9.", "1:X\xE9.x\\\xE9\\.", "\\U$1\\E\\Q$1", 0, "1:X\xE9.x\xE9\\."},
    // Known difference: perl reads $' before a letter as its variable $::x.
    {S, "b", "", "abc", "1:acxc", "$'x"},
    // After an empty match the next may not be empty at the same place.
    {G, "x*", "", "abc", "4:-a-b-c-", "-"},
    {G, "b*", "", "abb", "3:-a--", "-"},
    {G, "", "", "ab", "3:-a-b-", "-"},
    {G, "^", "m", "a\nb", "2:>a\n>b", ">"},
    {G, "$", "m", "a\nb\n", "3:a<\nb<\n<", "<"},
    {G, "a|", "", "bab", "4:-b--b-", "-"},
    // Split: Perl's rules for limits, empty pieces and captured groups.
    {P, ",", "", "a,b,c", "3|a|b|c"},
    {P, ",", "", "a,b,c,,,", "3|a|b|c"},
    {P, ",", "", "a,b,c,,,", "6|a|b|c|||", "", -1},
    {P, ",", "", "a,b,c", "2|a|b,c", "", 2},
    {P, ",", "", "a,b,c", "1|a,b,c", "", 1},
    {P, ",", "", ",a", "2||a"},
    {P, ",", "", "", "0"},
    {P, ",", "", "", "0", "", -1},
    {P, "", "", "abc", "3|a|b|c"},
    {P, "x*", "", "axxb", "2|a|b"},
    {P, "b*", "", "abc", "2|a|c"},
    {P, "(,)", "", "a,b", "3|a|,|b"},
    {P, "(,)|(;)", "", "a,b;c", "7|a|,||b||;|c"},
    {P, "(-)", "", "a-b-", "4|a|-|b|-"},
    {P, "(-)", "", "a-b-", "5|a|-|b|-|", "", -1},
    {P, "\\s+", "", " a b ", "3||a|b"},
    {P, "^", "m", "a\nb\n", "2|a\n|b\n"},
    {P, ",", "", "a,b,c,d", "3|a|b|c,d", "", 3},
    {P, "(?=b)", "", "abab", "3|a|ba|b"},
};

TEST(EngineAdapters, Pcre2FollowsPerl) {
    for (const SemanticsRow& row : kRows) EXPECT_TRUE(FollowsPerl(TextEncoding::Bytes, row));
}

TEST(EngineAdapters, ShiftJisAsUnicodeFollowsPerl) {
    for (const SemanticsRow& row : kRows) EXPECT_TRUE(FollowsPerl(TextEncoding::ShiftJis, row));
}

// Each engine reports bad syntax with its own description and stops a
// catastrophic pattern at its match limit instead of hanging.
TEST(EngineAdapters, ReportCompileErrorsAndMatchLimits) {
    for (TextEncoding encoding : {TextEncoding::Bytes, TextEncoding::ShiftJis}) {
        std::string message;
        EXPECT_EQ(CompilePattern("a(b", OptionsFor("", encoding), message), nullptr);
        EXPECT_FALSE(message.empty());
        message.clear();
        EXPECT_EQ(CompilePattern("[z-a]", OptionsFor("", encoding), message), nullptr);
        EXPECT_FALSE(message.empty());

        // Exponential backtracking: (a|aa)+ can split 40 a's in ~10^8 ways
        // before the '!' rules out every one of them. The lookbehind keeps
        // the linear engine, which would answer at once, out.
        auto engine = CompilePattern("^(a|aa)+(?<!b)$", OptionsFor("", encoding), message);
        ASSERT_NE(engine, nullptr) << message;
        const std::string subject = std::string(40, 'a') + "!";
        message.clear();
        const SearchOutcome outcome =
            engine->Search(subject.data(), subject.data() + subject.size(), 0, false, message);
        EXPECT_EQ(outcome, SearchOutcome::Failed) << NameOf(encoding);
        EXPECT_FALSE(message.empty());
    }
}

}  // namespace
}  // namespace regexlib
