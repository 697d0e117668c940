// The character class table, the byte-string routines and StringBuffer's
// Compare and Find that stand on them.
#include "text/char_class.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "text/string_buffer.h"
#include "process_memory.h"

namespace {

struct ByteRange {
    int first, last;
};

// The bytes that carry `bit` are exactly those inside `ranges`.
::testing::AssertionResult BitCoversExactly(std::uint8_t bit, const std::vector<ByteRange>& ranges) {
    std::string wrong;
    for (int byte = 0; byte < 256; ++byte) {
        bool expected = false;
        for (const ByteRange& range : ranges) expected = expected || (byte >= range.first && byte <= range.last);
        const bool actual = (charClass[byte] & bit) != 0;
        if (actual != expected) {
            wrong += (actual ? " +0x" : " -0x");
            wrong += "0123456789ABCDEF"[byte >> 4];
            wrong += "0123456789ABCDEF"[byte & 15];
        }
    }
    if (wrong.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "bit 0x" << std::hex << int{bit}
                                         << " wrongly set (+) or missing (-) at:" << wrong;
}

TEST(CharClassTest, EachBitCoversExactlyItsBytes) {
    const struct { std::uint8_t bit; std::vector<ByteRange> ranges; } rows[] = {
        {kLowerCase, {{0x61, 0x7A}}},
        {kUpperCase, {{0x41, 0x5A}}},
        {kDecimalDigit, {{0x30, 0x39}}},
        {kHexDigit, {{0x30, 0x39}, {0x41, 0x46}, {0x61, 0x66}}},
        {kWhiteSpace, {{0x09, 0x0D}, {0x20, 0x20}}},
        {kLeadByte, {{0x81, 0x9F}, {0xE0, 0xFB}}},
        {kSecondByte, {{0x40, 0x7E}, {0x80, 0xFB}}},
        {kPrintable, {{0x09, 0x0D}, {0x20, 0xFB}}},
    };
    for (const auto& row : rows) EXPECT_TRUE(BitCoversExactly(row.bit, row.ranges));
}

TEST(CharClassTest, ParseIntReadsTheLeadingDecimalNumber) {
    const struct { const char* text; std::int32_t expected; } rows[] = {
        {"  -42abc", -42},   {"\t\n12", 12},      {"\v\f\r 3", 3},    {"007", 7},
        {"+5", 0},           {"- 5", 0},          {"abc", 0},         {"-", 0},
        {"", 0},             {"12 34", 12},       {"--1", 0},         {"\xA0" "1", 0},
        {"2147483647", 2147483647},                {"2147483648", -2147483647 - 1},
        {"4294967296", 0},   {"4294967295", -1},  {"-2147483648", -2147483647 - 1},
        {"10000000001", 1410065409},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ParseInt(row.text), row.expected) << "ParseInt('" << row.text << "')";
    }
    for (const auto& [name, bad] : BadTextPointers()) EXPECT_EQ(ParseInt(bad), 0) << name;
}

TEST(CharClassTest, BoundedComparisonsGiveTheSignedByteDifference) {
    const struct { const char* a; const char* b; std::int32_t n, exact, noCase; } rows[] = {
        {"abcd", "abce", 3, 0, 0},
        {"abcd", "abce", 4, -1, -1},
        {"abc", "abc", 10, 0, 0},
        {"ab", "abc", 5, -99, -67},
        {"xbc", "abc", 0, 23, 23},           // a count below 1 still compares the first bytes
        {"abc", "abd", -4, 0, 0},
        {"\x81", "a", 1, -224, -192},
        {"abc", "ABD", 2, 32, 0},
        {"abc", "ABD", 3, 32, -1},
        {"a", "[", 1, 6, -26},               // folded letters order before 0x5B-0x60
        {"{", "a", 1, 26, 58},               // 0x7B is not a letter
        {"\x82\x61", "\x82\x41", 2, 32, 0},  // second bytes are folded too
        {"\xE0", "\x7F", 1, -159, -159},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.a << "' against '" << row.b << "', n " << row.n);
        EXPECT_EQ(CompareN(row.a, row.b, row.n), row.exact);
        EXPECT_EQ(CompareNoCaseN(row.a, row.b, row.n), row.noCase);
    }
    for (const auto& [name, bad] : BadTextPointers()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CompareN(bad, "abc", 3), 0);
        EXPECT_EQ(CompareN("abc", bad, 3), 0);
        EXPECT_EQ(CompareNoCaseN(bad, "abc", 3), 0);
        EXPECT_EQ(CompareNoCaseN("abc", bad, 3), 0);
    }
}

TEST(CharClassTest, FindByteMatchesOnlyAtCharacterStarts) {
    // Texts carry an explicit length so that bytes after the terminator can
    // show that the search never passes it.
    const struct { std::string text; char c; int expected; } rows[] = {  // expected: index, or -1 for null
        {"abc", 'c', 2}, {"abc", 'x', -1}, {"abc", '\0', 3}, {"\x82::", ':', 2}, {"\x82" "AA", 'A', 2},
        {"a\x82\x82", '\x82', 1},            // a lead byte value is found where it starts a character
        {"\x82\x82\x82", '\x82', 0},
        {"\x82\x82\x82:", ':', -1},          // the third 0x82 leads again; ':' is its second byte
        {"\xFB:", ':', -1}, {"\xFC:", ':', 1}, {"\x80:", ':', 1}, {"\xA0:", ':', 1},
        {std::string("a\x82\0::", 5), ':', -1},  // a lead byte right before the terminator
        {std::string("ab\0c", 4), 'c', -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "row " << &row - rows << ", byte 0x" << std::hex
                                          << (static_cast<unsigned>(row.c) & 0xFF));
        const char* text = row.text.c_str();
        const char* found = FindByte(text, row.c);
        EXPECT_EQ(found == nullptr ? -1 : found - text, row.expected);
    }
    for (const auto& [name, bad] : BadTextPointers()) {
        EXPECT_EQ(FindByte(bad, ':'), nullptr) << name;
        EXPECT_EQ(FindByte(bad, '\0'), nullptr) << name;
    }
}

TEST(CharClassTest, StringCompareUsesTheCountAndTheCaseFlag) {
    // With a negative count the platform's ordering decides; only its sign is
    // relied on, so those rows check the sign.
    const struct { const char* self; const char* other; std::int32_t caseSensitive, count, expected; bool signOnly; }
        rows[] = {
            {"xbc", "abc", 1, 0, 23, false}, {"abcd", "abce", 1, 3, 0, false}, {"abc", "ABD", 0, 2, 0, false},
            {"abc", "ABD", 1, 2, 32, false}, {"abc", "abc", 1, -1, 0, true},
            {"abc", "ABC", 0, -1, 0, true},  {"abc", "abd", 1, -1, -1, true},  {"abc", "ab", 1, -1, 1, true},
            {"", "a", 0, -1, -1, true},
        };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.self << "'.Compare('" << row.other << "', "
                                          << row.caseSensitive << ", " << row.count << ")");
        StringBuffer self(row.self);
        const std::int32_t result = self.Compare(row.other, row.caseSensitive, row.count);
        EXPECT_EQ(row.signOnly ? (result > 0) - (result < 0) : result, row.expected);
    }
    // Texts that differ only in case differ when case counts. Which sorts
    // first is the platform's: Windows puts lower case first, bytes upper.
    EXPECT_NE(StringBuffer("abc").Compare("ABC", 1, -1), 0);

    const struct { const char* self; std::int32_t expected; } firstBytes[] = {{"", 0}, {"abc", 97}, {"\xE0" "a", -32}};
    for (const auto& [name, bad] : BadTextPointers()) {
        for (const auto& row : firstBytes) {
            StringBuffer self(row.self);
            EXPECT_EQ(self.Compare(bad, 1, -1), row.expected) << name << ", this text '" << row.self << "'";
        }
    }
}

TEST(CharClassTest, StringFindGivesTheIndexOfTheFirstCharacter) {
    const struct { const char* text; char c; std::int32_t expected; } rows[] = {
        {"12:5", ':', 2}, {"12:5", 'x', -1}, {"12:5", '\0', 4}, {"", '\0', 0},
        {"\x82:1:2", ':', 3}, {"\x82:", ':', -1}, {"", ':', -1},
    };
    for (const auto& row : rows) {
        StringBuffer s(row.text);
        EXPECT_EQ(s.Find(row.c), row.expected) << "'" << row.text << "'.Find(" << int{row.c} << ")";
    }
}

}  // namespace
