// Translation lists and Perl's tr rules (c, d, s, short and empty lists).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "perl/translation.h"

namespace regexlib {
namespace {

struct TranslationRow {
    const char* search;
    const char* replacement;
    const char* flags;  // c, d, s
    std::string subject;
    std::string expected;  // "count:output"
};

::testing::AssertionResult TranslatesAs(const TranslationRow& row) {
    TranslationFlags flags;
    for (const char* f = row.flags; *f != '\0'; ++f) {
        if (*f == 'c') flags.complement = true;
        if (*f == 'd') flags.deleteUnmatched = true;
        if (*f == 's') flags.squeeze = true;
    }
    TranslationTable table;
    std::string message;
    const std::string where = std::string("tr/") + row.search + "/" + row.replacement + "/" + row.flags +
                              " on \"" + row.subject + "\"";
    if (!table.Compile(row.search, row.replacement, flags, TextEncoding::Bytes, message)) {
        return ::testing::AssertionFailure() << where << " failed: " << message;
    }
    OutputText out;
    const std::size_t count = table.Apply(row.subject.data(), row.subject.data() + row.subject.size(), out)
                                  .count;
    const std::string actual = std::to_string(count) + ":" + std::string(out.data(), out.size());
    if (actual == row.expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << where << " gave \"" << actual << "\", expected \"" << row.expected << "\"";
}

// Expected values are perl 5.36's answers for the same tr on the same text.
TEST(Translation, FollowsPerlsRules) {
    const TranslationRow rows[] = {
        {"a-c", "A-C", "", "abcd", "3:ABCd"},
        {"abc", "", "", "aabbx", "4:aabbx"},
        {"abc", "x", "", "abcd", "3:xxxd"},
        {"abc", "xy", "", "abcd", "3:xyyd"},
        {"abc", "xy", "d", "abcd", "3:xyd"},
        {"abc", "", "d", "abcd", "3:d"},
        {"a-z", "", "c", "ab1 2", "3:ab1 2"},
        {"a-z", "_", "c", "ab1 2", "3:ab___"},
        {"a-z", "", "cd", "ab1 2", "3:ab"},
        {"a-z", "", "s", "aabbccd", "7:abcd"},
        {"a-z", "x", "s", "ab1cd", "4:x1x"},
        {"a", "b", "s", "aaba", "3:bbb"},
        {"a-c", "x", "ds", "aXbbYc", "4:xXY"},
        {"a", "", "ds", "aXa", "2:X"},
        {"aa", "xy", "", "a", "1:x"},
        {"a\\-z", "123", "", "a-mz", "3:12m3"},
        {"-az", "123", "", "a-z", "3:213"},
        {"az-", "123", "", "a-z", "3:132"},
        {"\\n\\t", "NT", "", "a\n\tb", "2:aNTb"},
        {"\\x41\\x{42}", "ab", "", "ABC", "2:abC"},
        {"\\\\", "|", "", "a\\b", "1:a|b"},
        {"\\x00-\\xff", "", "", "ab", "2:ab"},
        {"\xE0-\xFF", "X", "", "a\xE9z", "1:aXz"},
        {"a-c", "A-C", "c", "abcd", "1:abcC"},
        {"", "", "", "abc", "0:abc"},
        {"a", "b", "", "", "0:"},
    };
    for (const TranslationRow& row : rows) EXPECT_TRUE(TranslatesAs(row));
}

// Long subjects take faster loops than short ones (64 bytes at a time where
// one run of bytes moves by a constant): a text translated whole must give
// what its short pieces translated one by one give.
TEST(Translation, LongSubjectsTranslateAsTheirPieces) {
    std::string subject;
    for (int round = 0; round < 4; ++round) {
        for (int byte = 0; byte < 256; ++byte) subject.push_back(static_cast<char>(byte));
    }
    subject += "tail";
    const std::pair<const char*, const char*> lists[] = {
        {"a-z", "A-Z"}, {"a-y", "b-z"}, {"0-9a-z", ""}, {"\\x00-\\xff", ""},
        {"\\x80-\\xff", "\\x00-\\x7f"}, {"A-Za-z", "N-ZA-Mn-za-m"}, {"a-z", "A"},
    };
    for (const auto& [search, replacement] : lists) {
        TranslationTable table;
        std::string message;
        ASSERT_TRUE(table.Compile(search, replacement, {}, TextEncoding::Bytes, message)) << message;
        OutputText whole;
        const std::size_t count = table.Apply(subject.data(), subject.data() + subject.size(), whole).count;
        std::string pieces;
        std::size_t piecesCount = 0;
        for (std::size_t at = 0; at < subject.size(); at += 7) {
            OutputText piece;
            const char* start = subject.data() + at;
            const char* stop = start + std::min<std::size_t>(7, subject.size() - at);
            piecesCount += table.Apply(start, stop, piece).count;
            pieces.append(piece.data(), piece.size());
        }
        EXPECT_EQ(count, piecesCount) << search << " " << replacement;
        EXPECT_EQ(std::string(whole.data(), whole.size()), pieces) << search << " " << replacement;
    }
}

TEST(Translation, ExpandsLists) {
    const struct {
        const char* list;
        TextEncoding encoding;
        std::vector<std::uint32_t> expected;
    } rows[] = {
        {"a-d", TextEncoding::Bytes, {'a', 'b', 'c', 'd'}},
        {"-a", TextEncoding::Bytes, {'-', 'a'}},
        {"a-", TextEncoding::Bytes, {'a', '-'}},
        {"\\--/", TextEncoding::Bytes, {'-', '.', '/'}},
        {"\xC3\xA9-\xC3\xAB", TextEncoding::Utf8, {0xE9, 0xEA, 0xEB}},
        {"\x82\x60-\x82\x62", TextEncoding::ShiftJis, {0x8260, 0x8261, 0x8262}},
        {"\x83\x5C", TextEncoding::ShiftJis, {0x835C}},
        // Shift_JIS ranges skip what cp932 does not read: 83 7F, and 82 F2
        // to 83 3F across the lead byte. Escapes name code points.
        {"\x83\x7E-\x83\x80", TextEncoding::ShiftJis, {0x837E, 0x8380}},
        {"\x82\xF1-\x83\x41", TextEncoding::ShiftJis, {0x82F1, 0x8340, 0x8341}},
        {"\\x{30DF}-\\x{30E0}", TextEncoding::ShiftJis, {0x837E, 0x8380}},
        {"\\x{100}", TextEncoding::Bytes, {}},
        {"\\101\\0\\o{102}\\18", TextEncoding::Bytes, {'A', 0, 'B', 1, '8'}},
    };
    for (const auto& row : rows) {
        std::vector<std::uint32_t> characters;
        std::string message;
        EXPECT_TRUE(ExpandTranslationList(row.list, row.encoding, characters, message)) << row.list << message;
        EXPECT_EQ(characters, row.expected) << row.list;
    }
}

TEST(Translation, RejectsBadLists) {
    const struct {
        const char* list;
        TextEncoding encoding;
        const char* message;
    } rows[] = {
        {"z-a", TextEncoding::Bytes, "invalid range"},
        {"\xC3", TextEncoding::Utf8, "invalid UTF-8"},
        {"a-\\xE9", TextEncoding::ShiftJis, "cannot write"},
        {"\\0-\\x{FFFF}", TextEncoding::Utf8, "surrogate"},
    };
    for (const auto& row : rows) {
        std::vector<std::uint32_t> characters;
        std::string message;
        EXPECT_FALSE(ExpandTranslationList(row.list, row.encoding, characters, message)) << row.list;
        EXPECT_NE(message.find(row.message), std::string::npos) << row.list << ": " << message;
    }
}

}  // namespace
}  // namespace regexlib
