// Character stepping for bytes, UTF-8 and Shift_JIS, the UTF-8 check, and
// Shift_JIS (cp932) against Unicode as perl's Encode maps them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "encoding/shift_jis_unicode.h"
#include "encoding/text_encoding.h"

namespace regexlib {
namespace {

struct LengthRow {
    const char* name;
    TextEncoding encoding;
    std::string text;
    std::vector<std::size_t> lengths;  // of each character in turn
};

std::vector<std::size_t> CharacterLengths(TextEncoding encoding, const std::string& text) {
    std::vector<std::size_t> lengths;
    const char* end = text.data() + text.size();
    for (const char* at = text.data(); at < end; at += lengths.back()) {
        lengths.push_back(CharacterLength(encoding, at, end));
    }
    return lengths;
}

TEST(TextEncoding, StepsByCharacter) {
    const LengthRow rows[] = {
        {"bytes are single", TextEncoding::Bytes, "a\x83\x5C", {1, 1, 1}},
        {"sjis pair with 0x5C second byte", TextEncoding::ShiftJis, "a\x83\x5C" "b", {1, 2, 1}},
        {"sjis lead 0xE0 and 0xFC", TextEncoding::ShiftJis, "\xE0\x40\xFC\xFC", {2, 2}},
        {"sjis half-width katakana is one byte", TextEncoding::ShiftJis, "\xB1\xB2", {1, 1}},
        {"sjis lead without second byte", TextEncoding::ShiftJis, "\x82", {1}},
        {"sjis lead before a non-second byte", TextEncoding::ShiftJis, "\x82\x20", {1, 1}},
        {"sjis 0xA0 and 0xFD are not leads", TextEncoding::ShiftJis, "\xA0\x40\xFD\x40", {1, 1, 1, 1}},
        {"utf8 one to four bytes", TextEncoding::Utf8, "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80", {1, 2, 3, 4}},
        {"utf8 truncated sequence", TextEncoding::Utf8, "\xE6\x97", {1, 1}},
        {"utf8 stray continuation", TextEncoding::Utf8, "\x80" "a", {1, 1}},
    };
    for (const LengthRow& row : rows) {
        EXPECT_EQ(CharacterLengths(row.encoding, row.text), row.lengths) << row.name;
    }
}

TEST(TextEncoding, ValidatesUtf8) {
    struct Row {
        const char* name;
        std::string text;
        bool valid;
        std::size_t badOffset;
    };
    const Row rows[] = {
        {"empty", "", true, 0},
        {"ascii and multi-byte", "a\xC3\xA9\xE6\x97\xA5\xF4\x8F\xBF\xBF", true, 0},
        {"overlong two bytes", "ab\xC0\x80", false, 2},
        {"overlong three bytes", "\xE0\x80\x80", false, 0},
        {"surrogate", "x\xED\xA0\x80", false, 1},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, 0},
        {"truncated at the end", "abc\xE6\x97", false, 3},
        {"lone continuation", "\xBF", false, 0},
    };
    for (const Row& row : rows) {
        std::size_t bad = 0;
        const bool valid = IsValidUtf8(row.text.data(), row.text.data() + row.text.size(), &bad);
        EXPECT_EQ(valid, row.valid) << row.name;
        if (!row.valid) {
            EXPECT_EQ(bad, row.badOffset) << row.name;
        }
    }
}

TEST(TextEncoding, DecodesAndEncodesCharacters) {
    struct Row {
        TextEncoding encoding;
        std::string text;
        std::uint32_t character;
    };
    const Row rows[] = {
        {TextEncoding::Bytes, "\xE9", 0xE9},
        {TextEncoding::Utf8, "\xC3\xA9", 0xE9},
        {TextEncoding::Utf8, "\xE6\x97\xA5", 0x65E5},
        {TextEncoding::Utf8, "\xF0\x9F\x98\x80", 0x1F600},
        {TextEncoding::ShiftJis, "\x83\x5C", 0x835C},
        {TextEncoding::ShiftJis, "\xB1", 0xB1},
    };
    for (const Row& row : rows) {
        const char* at = row.text.data();
        EXPECT_EQ(DecodeCharacter(row.encoding, at, at + row.text.size()), row.character) << row.text;
        EXPECT_EQ(at, row.text.data() + row.text.size()) << row.text;
        char encoded[kLongestCharacter];
        EXPECT_EQ(std::string(encoded, EncodeCharacter(row.encoding, row.character, encoded)), row.text);
    }
}

// An escape's code point as each encoding writes it; under Shift_JIS the
// character Encode writes, which for NEC's and IBM's copies of one symbol
// is one of them, and nothing where Encode only has a best-fit stand-in.
TEST(TextEncoding, WritesCodePoints) {
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    const struct {
        TextEncoding encoding;
        std::uint32_t codePoint;
        std::uint32_t character;
    } rows[] = {
        {TextEncoding::Bytes, 0xE9, 0xE9},         {TextEncoding::Bytes, 0x100, kNone},
        {TextEncoding::Utf8, 0x263A, 0x263A},      {TextEncoding::Utf8, 0xD800, kNone},
        {TextEncoding::ShiftJis, 0x41, 0x41},      {TextEncoding::ShiftJis, 0x30A2, 0x8341},
        {TextEncoding::ShiftJis, 0xFF61, 0xA1},    {TextEncoding::ShiftJis, 0x80, 0x80},
        {TextEncoding::ShiftJis, 0xF8F0, 0xA0},    {TextEncoding::ShiftJis, 0xFF3C, 0x815F},
        {TextEncoding::ShiftJis, 0x2252, 0x81E0},  {TextEncoding::ShiftJis, 0x2170, 0xFA40},
        {TextEncoding::ShiftJis, 0x2160, 0x8754},  {TextEncoding::ShiftJis, 0xE9, kNone},
        {TextEncoding::ShiftJis, 0x1F600, kNone},  {TextEncoding::ShiftJis, kShiftJisUnmappedBase + 0x81, kNone},
    };
    for (const auto& row : rows) {
        std::uint32_t character = kNone;
        const bool written = CharacterOfCodePoint(row.encoding, row.codePoint, character);
        EXPECT_EQ(written ? character : kNone, row.character) << std::hex << row.codePoint;
    }
}

TEST(TextEncoding, ReadsShiftJisAsCp932) {
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    const std::pair<std::uint32_t, std::uint32_t> rows[] = {
        {0x5C, 0x5C},     {0xA0, 0xF8F0}, {0xDF, 0xFF9F},   {0x8140, 0x3000}, {0x8790, 0x2252},
        {0xED40, 0x7E8A}, {0xF040, 0xE000}, {0x81, kNone}, {0x837F, kNone},  {0x8540, kNone},
    };
    for (const auto& [character, codePoint] : rows) {
        std::uint32_t read = kNone;
        const bool mapped = ShiftJisToUnicode(character, read);
        EXPECT_EQ(mapped ? read : kNone, codePoint) << std::hex << character;
    }
}

}  // namespace
}  // namespace regexlib
