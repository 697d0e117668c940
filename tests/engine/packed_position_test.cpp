// Packed positions and their text form "offset:length", both ways.
#include "engine/packed_position.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "process_memory.h"

namespace {

std::int32_t Packed(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

::testing::AssertionResult FormatsAs(std::int32_t value, const char* expected) {
    char text[kPositionTextSize];
    const std::int32_t length = FormatPositionText(value, text);
    const std::string actual = text;
    if (actual == expected && length == static_cast<std::int32_t>(actual.size())) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "0x" << std::hex << value << " formats as '" << actual
                                         << "', expected '" << expected << "'";
}

TEST(PackedPositionTest, PackingKeepsTheLow16BitsOfOffsetAndLength) {
    std::vector<char> subject(140000);
    const char* s = subject.data();
    const struct { std::size_t start, end; std::uint32_t expected; } rows[] = {
        {0, 0, 0x00000000},      {3, 8, 0x00050003},          {0, 65535, 0xFFFF0000},
        {65535, 65535, 0x0000FFFF}, {65536, 65538, 0x00020000}, {70000, 70001, 0x00011170},
        {10, 65546, 0x0000000A}, {1, 70001, 0x11700001},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PackPosition(s, s + row.start, s + row.end), Packed(row.expected))
            << "piece [" << row.start << ", " << row.end << ")";
    }
    EXPECT_EQ(PackPosition(s, nullptr, s + 3), kNoPosition);
    EXPECT_EQ(PackPosition(s, s + 3, nullptr), kNoPosition);
}

TEST(PackedPositionTest, FormatWritesOffsetColonLength) {
    const struct { std::uint32_t value; const char* expected; } rows[] = {
        {0x00000000, "0:0"},       {0xFFFF0000, "0:65535"},     {0x0000FFFF, "65535:0"},
        {0x00050003, "3:5"},       {0xFFFEFFFF, "65535:65534"}, {0x0014000A, "10:20"},
        {0xFFFFFFFF, ""},
    };
    for (const auto& row : rows) EXPECT_TRUE(FormatsAs(Packed(row.value), row.expected));
}

TEST(PackedPositionTest, ParseReadsBothSidesAndFormatsBackAsExpected) {
    const struct { const char* text; std::uint32_t expected; const char* formatted; } rows[] = {
        {"0:5", 0x00050000, "0:5"},         {"3:0", 0x00000003, "3:0"},
        {"10:20", 0x0014000A, "10:20"},     {" 7: 2", 0x00020007, "7:2"},
        {"7x:2y", 0x00020007, "7:2"},       {"1:2:3", 0x00020001, "1:2"},
        {"abc:def", 0x00000000, "0:0"},     {"+3:4", 0x00040000, "0:4"},
        {"-1:3", 0x0003FFFF, "65535:3"},    {"70000:1", 0x00011170, "4464:1"},
        {"1:70000", 0x11700001, "1:4464"},  {"0:65536", 0x00000000, "0:0"},
        {"- 5:3", 0x00030000, "0:3"},       {"\t12:\n34", 0x0022000C, "12:34"},
        {"65535:-1", 0xFFFFFFFF, ""},       {"65535:65535", 0xFFFFFFFF, ""},
        {":5", 0xFFFFFFFF, ""},             {"5:", 0xFFFFFFFF, ""},
        {"5", 0xFFFFFFFF, ""},              {"", 0xFFFFFFFF, ""},
        {":", 0xFFFFFFFF, ""},
        // A colon right after a lead byte is that character's second byte.
        {"1\x81:2:3", 0x00030001, "1:3"},   {"7\x81:2", 0xFFFFFFFF, ""},
        {"7\xFC:2", 0x00020007, "7:2"},     {"\x9F:", 0xFFFFFFFF, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.text << "'");
        const std::int32_t value = ParsePositionText(row.text);
        EXPECT_EQ(value, Packed(row.expected));
        EXPECT_TRUE(FormatsAs(value, row.formatted));
    }
    for (const auto& [name, bad] : BadTextPointers()) EXPECT_EQ(ParsePositionText(bad), kNoPosition) << name;
}

TEST(PackedPositionTest, FormattedTextParsesBackToTheSameValue) {
    const std::uint32_t numbers[] = {0, 1, 9, 10, 99, 100, 4464, 32767, 32768, 65534, 65535};
    for (std::uint32_t offset : numbers) {
        for (std::uint32_t length : numbers) {
            const std::int32_t value = Packed(length << 16 | offset);
            char text[kPositionTextSize];
            FormatPositionText(value, text);
            EXPECT_EQ(ParsePositionText(text), value) << "offset " << offset << ", length " << length;
        }
    }
}

}  // namespace
