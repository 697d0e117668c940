// Character stepping for bytes, UTF-8 and Shift_JIS, and the UTF-8 check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text_encoding.h"

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

}  // namespace
}  // namespace regexlib
