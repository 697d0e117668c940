// Perl constructs that PCRE2 reads otherwise or not at all, through BMatch:
// each is translated to PCRE2's form of it or refused with a message that
// names it, never run with another meaning.
#include <gtest/gtest.h>

#include <string>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

TEST(PerlConstructs, MatchAsPerlOrAreRefused) {
    const struct {
        const char* pattern;
        const char* subject;
        const char* expected;  // a refusal: "failed: " and part of its message
    } kRows[] = {
        {"m/[a b]/xx", " ", "no"},
        {"m/[a b]/x", " ", "yes 0-1"},
        {"m/[\\d-   ]+/xx", "1-", "yes 0-2"},
        {"m/[a\tb]/xx", "\t", "no"},
        // Inline flags as perl reads them: aa among other letters, a caret
        // that switches a off, u and d (Unicode's rules, as the text has).
        {"m/(?aia:s)/u", "\xC5\xBF", "no"},
        {"m/(?ia:s)/u", "\xC5\xBF", "yes 0-2"},
        {"m/(?^aa:k)/iu", "\xE2\x84\xAA", "no"},
        {"m/(?^:k)/iu", "K", "no"},
        {"m/(?a:((?u)\\w)\\W)/u", "\xC3\xA9!", "yes 0-3 0-2"},
        {"m/(?d)\\w/au", "\xC3\xA9", "yes 0-2"},
        {"m/(?pi)s/", "S", "yes 0-1"},
        {"m/(?ua)/u", "", "failed: Regexp modifiers \"u\" and \"a\""},
        {"m/(?aaa)/u", "", "failed: Regexp modifier \"a\" may appear a maximum of twice"},
        {"m/(?-a)/u", "", "failed: Regexp modifier \"a\" is not allowed here"},
        {"m/(?u)\\w/", "\xE9", "failed: inline flag (?u)"},
        {"m/(?l)\\w/", "a", "failed: inline flag (?l)"},
        {"m/(?ai)\xC9/", "\xE9", "failed: inline flag (?a) under i"},
        {"m/(?a:(?i)k)/", "K", "failed: inline flag (?a) under i"},
        {"m/(?a)\\w/", "\xE9", "no"},
        // Escapes perl calls errors.
        {"m/abc\\N {U+41}/x", "abcA", "failed: Missing braces on \\N{}"},
        {"m/\\N(?#c){SPACE}/", " ", "failed: Missing braces on \\N{}"},
        {"m/a\\N {2}/x", "abc", "yes 0-3"},
        {"m/\\c{/", ";", "failed: Use \";\" instead of \"\\c{\""},
        {"m/[\\c{]/", ";", "failed: Use \";\" instead of \"\\c{\""},
        {"m/\\c\xC3\xA9/u", "", "failed: Character following \"\\c\""},
        {"m/\\c`/", " ", "yes 0-1"},
        // Perl's word characters under Unicode's rules.
        {"m/\\w/u", "\xE2\x80\x8D", "yes 0-3"},
        {"m/\\w/u", "\xC2\xB2", "no"},
        {"m/\\w/au", "\xE2\x80\x8C", "no"},
        {"m/[^a\\W]/u", "a\xE2\x80\x8D", "yes 1-4"},
        {"m/[\\W^]+/u", "^!\xE2\x80\x8C", "yes 0-2"},
        {"m/a\\b/u", "a\xE2\x80\x8D", "no"},
        {"m/a\\B/u", "a\xE2\x80\x8D", "yes 0-1"},
        {"m/(?u)\\w/a", "\xE9", "yes 0-1"},
        // POSIX classes and \p{L_} under Unicode's rules.
        {"m/[[:lower:]]/iu", "\xC4\x80", "yes 0-2"},
        {"m/[[:upper:]]/u", "\xE2\x92\xB6", "yes 0-3"},
        {"m/[[:^lower:]]/u", "\xC2\xAA", "no"},
        {"m/[[:alpha:]]/u", "\xE2\x85\xA0", "yes 0-3"},
        {"m/[^[:^alnum:]]/u", "\xC2\xB2", "no"},
        {"m/[[:lower:]]/ai", "\xC4", "no"},
        {"m/\\p{L_}/u", "\xE3\x90\x80", "no"},
        {"m/\\P{ L_ }/u", "\xE3\x90\x80", "yes 0-3"},
        // PCRE2's messages point into the pattern as written.
        {"m/[\\W]\\w[z-a]/u", "", "failed: range out of order in character class at offset 9"},
        // Constructs PCRE2 would run with another meaning.
        {"m/\\B{gcb}/", "{{gcb}", "failed: \\B{gcb} is not supported"},
        {"m/a\\b{wb}/u", "a", "failed: \\b{wb} is not supported"},
        {"m/(?<=([cd](*ACCEPT)|x)gggg)blrph/", "cblrph", "failed: (*ACCEPT) inside a lookbehind"},
        {"m/(*nlb:a(*ACCEPT))b/", "b", "failed: (*ACCEPT) inside a lookbehind"},
        {"m/(?<=a)(*ACCEPT)b/", "ac", "yes 1-1"},
        {"m/[(*ACCEPT)]\\Q(?<=\\E/", "A(?<=", "yes 0-5"},
        // Beyond ASCII: a '-' beside a class escape, an assertion repeated
        // and a number with an underscore, on each text encoding.
        {"m/[\xC3\xA9-\\d]+/u", "x-\xC3\xA9" "5", "yes 1-5"},
        {"m/[\x83\x41-\\d]+/k", "x-\x83\x41" "5", "yes 1-5"},
        {"m/\\x{3_042}/u", "\xE3\x81\x82", "yes 0-3"},
        {"m/\\x{3_042}/k", "\x82\xA0", "yes 0-2"},
        {"m/a\\b+/", "a\xE9", "yes 0-1"},
        {"m/a\\b+/u", "a\xC3\xA9", "no"},
        {"m/a\\b+/k", "a\x83\x41", "no"},
    };
    for (const auto& row : kRows) {
        const std::string answer = DescribeBMatch(row.pattern, row.subject);
        const std::string expected = row.expected;
        if (expected.rfind("failed: ", 0) == 0) {
            EXPECT_EQ(answer.rfind(expected, 0), 0u) << row.pattern << " gave " << answer;
        } else {
            EXPECT_EQ(answer, expected) << row.pattern << " on \"" << row.subject << "\"";
        }
    }
}

// Constructs PCRE2 refuses that perl takes, most with a warning, each
// rewritten to perl's meaning; the same answers on every text encoding.
TEST(PerlConstructs, TakenAsPerlTakesThem) {
    const struct {
        const char* pattern;  // the text encoding's flag is appended
        const char* subject;
        const char* expected;
    } kRows[] = {
        // A '-' beside a class escape or a POSIX class is a literal.
        {"m/[a-\\d]+/", "x-a5", "yes 1-4"},
        {"m/[\\w-z]+/", "!-q_", "yes 1-4"},
        {"m/[^\\d-z]/", "5-za", "yes 3-4"},
        {"m/[a-[:digit:]]+/", "x-a5", "yes 1-4"},
        {"m/[\\s-\\d]+/", "a -1", "yes 1-4"},
        // {n,m} with n > m never matches; its groups keep their numbers.
        {"m/a{3,1}|b/", "aaab", "yes 3-4"},
        {"m/(a){2,1}|c/", "ac", "yes 1-2 -"},
        {"m/a{ 3 , 1 }b|a/x", "aaab", "yes 0-1"},
        {"m/a{3,1}?/", "a", "failed: "},
        // Underscores in braced numbers: skipped before a digit, else the end.
        {"m/\\x{6_1}\\x{_62}/", "ab", "yes 0-2"},
        {"m/[\\o{14_3}]/", "c", "yes 0-1"},
        {"m/\\x{4__1}/", "\x04" "A", "yes 0-1"},
        // A quantifier on an assertion.
        {"m/a\\K?b/", "ab", "yes 1-2"},
        {"m/a\\K??b/", "ab", "yes 0-2"},
        {"m/a\\K{2}b/", "ab", "yes 1-2"},
        {"m/a\\K*b/", "ab", "failed: \\K* is forbidden"},
        {"m/\\b*c/", "ac", "yes 1-2"},
        {"m/a\\b+/", "a-", "yes 0-1"},
        {"m/a\\B?b/", "ab", "yes 0-2"},
        {"m/a$?b/", "ab", "yes 0-2"},
        {"m/^*b/", "ab", "yes 1-2"},
        {"m/a\\z{1,2}/", "ab", "no"},
        // A condition on a group the pattern lacks is false.
        {"m/(?(1)a|b)/", "ab", "yes 1-2"},
        {"m/(?(2)a|b)(x)/", "bx", "yes 0-2 1-2"},
        {"m/(?(1)a)/", "xa", "yes 0-0"},
        {"m/(?(1)a|b)()/", "ab", "yes 1-2 2-2"},
        // Under (?|...) alternatives may name one group differently.
        {"m/(?|(?<a>x)|(?<b>y))\\k<b>/", "yy", "yes 0-2 0-1"},
        {"m/(?|(?<a>x)|(?<b>y))(?P=b)/", "yx", "no"},
        {"m/(?|(?<a>x)|(?<b>y))(?&b)/", "yx", "yes 0-2 0-1"},
        {"m/(?|(?<a>x)|(?<b>y))(?(<b>)c|d)/", "xc", "yes 0-2 0-1"},
        {"m/(?|(?<a>x)|(?<b>y)(?<c>q)|(w))(?<c>v)(z)/", "ywvz", "yes 1-4 1-2 - 2-3 3-4"},
        {"m/(?|(?<a>x)|(?<b>y))(?<b>z)/", "yz", "failed: (?|...) name for two group numbers"},
        {"m/\\k<b>?(?|(?<a>x)|(?<b>y))/", "y", "failed: reference before its (?|...) alias"},
    };
    for (const char* mode : {"", "u", "k"}) {
        for (const auto& row : kRows) {
            const std::string pattern = row.pattern + std::string(mode);
            const std::string answer = DescribeBMatch(pattern, row.subject);
            const std::string expected = row.expected;
            if (expected.rfind("failed: ", 0) == 0) {
                EXPECT_EQ(answer.rfind(expected, 0), 0u) << pattern << " gave " << answer;
            } else {
                EXPECT_EQ(answer, expected) << pattern << " on \"" << row.subject << "\"";
            }
        }
    }
}

// Every name a branch reset gives a group answers it in a replacement.
TEST(PerlConstructs, BranchResetNamesAnswerInReplacements) {
    for (const char* mode : {"", "u", "k"}) {
        const std::string flags = std::string("g") + mode;
        EXPECT_EQ(DescribeBSubst("s/(?|(?<a>x)|(?<b>y))/<$+{a}$+{b}>/" + flags, "xy"), "2:<xx><yy>") << mode;
        EXPECT_EQ(DescribeBSubst("s/(?|(?<a>x)|(?<b>y))\\k<b>/[$+{b}]/" + flags, "yyxx"), "2:[y][x]") << mode;
    }
}

// Under u the surrogates are no characters of a text: a complemented
// search range may run across them; other lists may not name them.
TEST(PerlConstructs, TranslateAcrossTheSurrogates) {
    EXPECT_EQ(DescribeBTrans("tr/\\0-\\x{ffff}/x/cu", "A\xF0\x90\x80\x80" "B\xF0\xAA\xAF\x8D" "C"), "2:AxBxC");
    EXPECT_EQ(DescribeBTrans("tr/\\x{d7ff}-\\x{10ffff}/xy/cu", "a\xED\x9F\xBF"), "1:y\xED\x9F\xBF");
    for (const char* refused : {"tr/\\x{d7ff}-\\x{e000}/x/u", "tr/\\x{d800}-\\x{e000}/x/cu", "tr/a/\\0-\\x{ffff}/cu"}) {
        EXPECT_EQ(DescribeBTrans(refused, "a").rfind("failed: ", 0), 0u) << refused;
    }
}

}  // namespace
}  // namespace regexlib_test
