// Hand-written Shift_JIS (k) and UTF-8 (u) cases through the entry points:
// second bytes 0x5C, '.' over double-byte characters, translation of
// double-byte characters, and positions counted in bytes.
#include <gtest/gtest.h>

#include <string>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

// Shift_JIS characters whose second byte is '\' (0x5C) or '|' (0x7C), and
// full-width A-C (0x8260-0x8262).
#define SO "\x83\x5C"       // katakana so
#define HYO "\x95\x5C"      // "table"
#define BAR2 "\x81\x7C"     // full-width minus, second byte '|'
#define FULL_A "\x82\x60"
#define FULL_C "\x82\x62"
// UTF-8 characters.
#define E_ACUTE "\xC3\xA9"
#define NICHI "\xE6\x97\xA5"

enum class Call { Match, Subst, Trans, Split };

struct EncodingRow {
    const char* name;
    Call call;
    std::string pattern;
    std::string subject;
    std::string expected;
    int limit = 0;
};

std::string Run(const EncodingRow& row) {
    switch (row.call) {
        case Call::Match: return DescribeBMatch(row.pattern, row.subject);
        case Call::Subst: return DescribeBSubst(row.pattern, row.subject);
        case Call::Trans: return DescribeBTrans(row.pattern, row.subject);
        case Call::Split: return DescribeBSplit(row.pattern, row.subject, row.limit);
    }
    return "";
}

::testing::AssertionResult Answers(const EncodingRow& row) {
    const std::string actual = Run(row);
    if (actual == row.expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << row.name << ": got \"" << actual << "\", expected \"" << row.expected << "\"";
}

TEST(ShiftJis, StepsOverDoubleByteCharacters) {
    const EncodingRow rows[] = {
        {"second byte 0x5C is no escape", Call::Match, "m/" SO "/k", "a" SO "b", "yes 1-3"},
        {"a quantifier takes the whole character", Call::Match, "m/" SO "+/k", SO SO "x", "yes 0-4"},
        {"dot is one double-byte character", Call::Match, "m/a.b/k", "a" SO "b", "yes 0-4"},
        {"dot in byte mode is one byte", Call::Match, "m/a.b/", "a" SO "b", "no"},
        {"a class holds whole characters", Call::Match, "m/[" SO HYO "]+/k", "\\" SO HYO, "yes 1-5"},
        {"a class member does not match its second byte", Call::Match, "m/[" SO "]/k", "\\", "no"},
        {"no match inside a character", Call::Match, "m/\\x5C/k", SO, "no"},
        {"positions are in bytes", Call::Match, "m/(b)/k", SO HYO "b", "yes 4-5 4-5"},
        {"second byte '|' is no delimiter", Call::Match, "m|" BAR2 "|k", "x" BAR2, "yes 1-3"},
        {"caseless ASCII beside double-byte", Call::Match, "m/" SO "A/ik", SO "a", "yes 0-3"},
        {"replacement with second byte 0x5C", Call::Subst, "s/a/" HYO "/gk", "aba", "2:" HYO "b" HYO},
        {"global substitution of a double-byte character", Call::Subst, "s/" SO "/x/gk", SO "a" SO, "2:xax"},
        {"empty matches step by character", Call::Subst, "s//-/gk", SO "a", "3:-" SO "-a-"},
        {"group in a replacement", Call::Subst, "s/(" SO ")(.)/$2$1/k", SO HYO, "1:" HYO SO},
        {"translation of double-byte characters", Call::Trans, "tr/" SO HYO "/ab/k", SO HYO "x" SO, "3:abxa"},
        {"double-byte range", Call::Trans, "tr/" FULL_A "-" FULL_C "/A-C/k", FULL_A FULL_C "z", "2:ACz"},
        {"translation into double-byte characters", Call::Trans, "tr/ab/" SO HYO "/k", "abc", "2:" SO HYO "c"},
        {"deleting a double-byte character", Call::Trans, "tr/" SO "//dk", "a" SO "b", "1:ab"},
        {"split on a double-byte character", Call::Split, "m/" HYO "/k", "a" HYO "b" HYO, "2|a|b"},
        {"split on a byte that is a second byte", Call::Split, "m/\\\\/k", SO "\\" SO, "2|" SO "|" SO},
        {"split into characters", Call::Split, "m//k", SO "a" HYO, "3|" SO "|a|" HYO},
    };
    for (const EncodingRow& row : rows) EXPECT_TRUE(Answers(row));
}

TEST(Utf8, StepsOverMultiByteCharacters) {
    const EncodingRow rows[] = {
        {"dot is one character", Call::Match, "m/a.b/u", "a" NICHI "b", "yes 0-5"},
        {"positions are in bytes", Call::Match, "m/(x)/u", E_ACUTE NICHI "x", "yes 5-6 5-6"},
        {"word characters are Unicode", Call::Match, "m/\\w+/u", " " E_ACUTE NICHI "x ", "yes 1-7"},
        {"caseless beyond ASCII", Call::Match, "m/\xC3\x89/iu", "x" E_ACUTE, "yes 1-3"},
        {"byte mode has no Unicode case", Call::Match, "m/\xC3\x89/i", "x" E_ACUTE, "no"},
        {"a quantifier takes the whole character", Call::Match, "m/" NICHI "{2}/u", NICHI NICHI, "yes 0-6"},
        {"empty matches step by character", Call::Subst, "s//-/gu", E_ACUTE "a", "3:-" E_ACUTE "-a-"},
        {"substitution", Call::Subst, "s/" E_ACUTE "/e/gu", "caf" E_ACUTE E_ACUTE, "2:cafee"},
        {"translation", Call::Trans, "tr/" E_ACUTE NICHI "/eN/u", E_ACUTE "x" NICHI, "2:exN"},
        {"complement translation", Call::Trans, "tr/a-z/_/cu", "a" NICHI "b", "1:a_b"},
        {"split into characters", Call::Split, "m//u", NICHI E_ACUTE, "2|" NICHI "|" E_ACUTE},
        {"invalid subject is a failure", Call::Match, "m/a/u", "a\xE6\x97", "failed: invalid UTF-8 in the subject at byte 1"},
        {"invalid subject in a substitution", Call::Subst, "s/a/b/u", "\xFF", "failed: invalid UTF-8 in the subject at byte 0"},
        {"invalid subject in a translation", Call::Trans, "tr/a/b/u", "\xC3", "failed: invalid UTF-8 in the subject at byte 0"},
        {"invalid subject in a split", Call::Split, "m/,/u", "\xED\xA0\x80", "failed: invalid UTF-8 in the subject at byte 0"},
        {"invalid pattern is a failure", Call::Match, "m/\xC3/u", "a", "failed: UTF-8 error: 1 byte missing at end at offset 0"},
    };
    for (const EncodingRow& row : rows) EXPECT_TRUE(Answers(row));
}

}  // namespace
}  // namespace regexlib_test
