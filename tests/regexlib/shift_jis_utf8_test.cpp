// Hand-written Shift_JIS (k) and UTF-8 (u) cases through the entry points:
// second bytes 0x5C, '.' over double-byte characters, translation of
// double-byte characters, positions counted in bytes, and Shift_JIS read
// with Unicode's properties.
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
// Characters with case, word characters and punctuation.
#define FULL_LOWER_A "\x82\x81"
#define ALPHA "\x83\xBF"
#define CAPITAL_ALPHA "\x83\x9F"
#define CYRILLIC_A "\x84\x70"
#define CAPITAL_CYRILLIC_A "\x84\x40"
#define COMMA "\x81\x41"           // ideographic comma, no word character
#define WIDE_SPACE "\x81\x40"
#define FULL_0 "\x82\x4F"
#define FULL_1 "\x82\x50"
#define HIRAGANA_A "\x82\xA0"
#define KATAKANA_A "\x83\x41"
#define KATAKANA_I "\x83\x43"
#define KATAKANA_MI "\x83\x7E"     // 83 7F after it is no character
#define KATAKANA_MU "\x83\x80"
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

// The expected answers are perl's on the text decoded from cp932, but for
// the unmapped characters, which perl cannot decode.
TEST(ShiftJis, ReadsCharactersAsPerlDoesTheDecodedText) {
    const EncodingRow rows[] = {
        {"caseless full-width Latin", Call::Match, "m/" FULL_LOWER_A "/ik", "x" FULL_A, "yes 1-3"},
        {"caseless Greek", Call::Match, "m/" ALPHA "/ik", CAPITAL_ALPHA, "yes 0-2"},
        {"caseless Cyrillic", Call::Match, "m/" CAPITAL_CYRILLIC_A "/ik", CYRILLIC_A, "yes 0-2"},
        {"an escape names a code point", Call::Match, "m/\\x{FF21}/ik", FULL_LOWER_A, "yes 0-2"},
        {"punctuation is no word character", Call::Match, "m/\\w/k", COMMA "a", "yes 2-3"},
        {"full-width digits", Call::Match, "m/\\d+/k", "x" FULL_0 FULL_1, "yes 1-5"},
        {"word boundary after punctuation", Call::Match, "m/\\bb/k", COMMA "b", "yes 2-3"},
        {"no word boundary after kana", Call::Match, "m/\\bb/k", HIRAGANA_A "b", "no"},
        {"ideographic space", Call::Match, "m/\\s/k", "a" WIDE_SPACE, "yes 1-3"},
        {"POSIX class", Call::Match, "m/[[:punct:]]/k", "a" COMMA, "yes 1-3"},
        {"groups after double-byte characters", Call::Match, "m/(\\w)(" COMMA ")/k", KATAKANA_A KATAKANA_I COMMA,
         "yes 2-6 2-4 4-6"},
        {"empty matches after double-byte characters", Call::Subst, "s/\\w*/-/gk", KATAKANA_A COMMA,
         "3:--" COMMA "-"},
        {"bytes 0x80 and 0xA0 are characters", Call::Subst, "s/\\W/[$&]/gk", "\x80" "a\xA0", "2:[\x80]a[\xA0]"},
        {"unassigned pairs and lone lead bytes survive", Call::Subst, "s/./<$&>/gk", "\x85\x40" "a\x83\x7F\x81",
         "5:<\x85\x40><a><\x83><\x7F><\x81>"},
        {"an escape in a replacement names a code point", Call::Subst, "s/a/\\x{30A2}/k", "a", "1:" KATAKANA_A},
        {"a range skips what is no character", Call::Trans, "tr/" KATAKANA_MI "-" KATAKANA_MU "/xy/k",
         KATAKANA_MI KATAKANA_MU, "2:xy"},
        {"a range written never holds 83 7F", Call::Trans, "tr/a-c/" KATAKANA_MI "-" KATAKANA_MU "/k", "abc",
         "3:" KATAKANA_MI KATAKANA_MU KATAKANA_MU},
        {"NEC's and IBM's copies of a symbol are one character", Call::Trans, "tr/\x81\xE0/x/k",
         "\x87\x90\x81\xE0", "2:xx"},
        {"the complement in code point order", Call::Trans, "tr/\\x00-\\x7E/\\x{3042}-\\x{3093}/ck",
         "a\x7F\x80\xB1" HIRAGANA_A, "4:a\x82\xA0\x82\xA1\x82\xF1\x82\xF1"},
    };
    for (const EncodingRow& row : rows) EXPECT_TRUE(Answers(row));
}

// A caller reuses its buffer: a record run again on the same bytes' place
// must read what they hold now, not a conversion of what they held before.
TEST(ShiftJis, ReadsTheSubjectAfreshOnEveryCall) {
    std::string subject = KATAKANA_A "a,";
    const char* start = subject.data();
    const char* end = start + subject.size();
    bregexp* substitution = nullptr;
    bregexp* split = nullptr;
    char message[kMessageBufferSize];
    ASSERT_EQ(BSubst("s/a/b/gk", start, end, &substitution, message), 1) << message;
    ASSERT_EQ(BSplit("m/a/k", start, end, 0, &split, message), 2) << message;
    subject.replace(0, 2, "aa");
    EXPECT_EQ(BSubst(nullptr, start, end, &substitution, message), 3);
    EXPECT_STREQ(substitution->outputText, "bbb,");
    EXPECT_EQ(BSplit(nullptr, start, end, 0, &split, message), 4);
    EXPECT_EQ(split->splitPairs[6], start + 3);  // the last piece, ","
    BRegfree(substitution);
    BRegfree(split);
}

// A long text: pairs straddle every place the converter keeps for mapping
// positions back, and a lone lead byte (four bytes once converted) makes
// the converted text twice as long as the caller's. Every position must
// still land on the caller's bytes.
TEST(ShiftJis, LongTextsKeepEveryPosition) {
    const std::string unit = "a" KATAKANA_A "\xB1\x81,";  // 0xB1 half-width A; 0x81 a lone lead byte
    const int units = 700;
    std::string subject;
    std::string substituted = std::to_string(units) + ":";
    std::string pieces = std::to_string(units + 1) + "|a" KATAKANA_A;
    for (int i = 0; i < units; ++i) {
        subject += unit;
        substituted += "aX\xB1\x81,";
        pieces += i + 1 < units ? "|\x81,a" KATAKANA_A : "|\x81,\x83";
    }
    subject += "\x83";  // a lead byte that the text ends before its pair
    substituted += "\x83";
    const std::size_t last = unit.size() * (units - 1) + 3;  // the last half-width A
    EXPECT_EQ(DescribeBSubst("s/\\x{30A2}/X/gk", subject), substituted);
    EXPECT_EQ(DescribeBMatch("m/(\\x{FF71})...$/k", subject),
              "yes " + std::to_string(last) + "-" + std::to_string(subject.size()) + " " + std::to_string(last) +
                  "-" + std::to_string(last + 1));
    EXPECT_EQ(DescribeBSplit("m/\\x{FF71}/k", subject, -1), pieces);
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
