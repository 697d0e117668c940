// StringBuffer: block sizes, copy on write, clipping of outside texts and
// positions, and null or unreadable text pointers.
#include "text/string_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "process_memory.h"

namespace {

// Text, length and capacity of a string, plus the rep's invariant that every
// byte from the terminator to the end of the block is zero.
::testing::AssertionResult Holds(const StringBuffer& s, const std::string& text,
                                 std::int32_t capacity = -1) {
    const StringBuffer::StringBuffer_rep* rep = s.Rep();
    const std::string actual(rep->chars, static_cast<std::size_t>(rep->length));
    if (actual != text) {
        return ::testing::AssertionFailure() << "text '" << actual << "', expected '" << text << "'";
    }
    if (capacity >= 0 && rep->capacity != capacity) {
        return ::testing::AssertionFailure() << "capacity " << rep->capacity << ", expected " << capacity;
    }
    if (rep->capacity % 8 != 0 || rep->capacity <= rep->length) {
        return ::testing::AssertionFailure() << "capacity " << rep->capacity << " for length " << rep->length;
    }
    for (std::int32_t i = rep->length; i < rep->capacity; ++i) {
        if (rep->chars[i] != 0) return ::testing::AssertionFailure() << "byte " << i << " past the text is not zero";
    }
    return ::testing::AssertionSuccess();
}

TEST(StringBufferTest, CapacityConstructorRoundsTheNeedUpToEight) {
    const struct { std::int32_t requested, capacity; } rows[] = {
        {2, 8}, {7, 8}, {8, 16}, {16, 24}, {0, 8}, {-5, 8}, {100, 104}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "StringBuffer(" << row.requested << ")");
        StringBuffer s(row.requested);
        EXPECT_TRUE(Holds(s, "", row.capacity));
        EXPECT_EQ(s.GetLength(), 0);
        EXPECT_EQ(s.Rep()->referenceCount, 1);
    }
}

TEST(StringBufferTest, TextConstructorTakesTheSliceWithRoomForExtra) {
    const struct { const char* text; std::int32_t length, extra; std::string expected; std::int32_t capacity; }
    rows[] = {
        {"abc", -1, 2, "abc", 8},         {"abcde", -1, 2, "abcde", 8},  {"abcdef", -1, 2, "abcdef", 16},
        {"abcdefghijklmn", -1, 2, "abcdefghijklmn", 24},                 {"abcdefgh", -1, 0, "abcdefgh", 16},
        {"abc", -1, -5, "abc", 8},        {"abc", 0, 2, "", 8},          {"abcdef", 2, 2, "ab", 8},
        {"a\0c", 3, 2, std::string("a\0c", 3), 8},                       {"", -1, 20, "", 24},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "'" << row.text << "' length " << row.length << " extra " << row.extra);
        StringBuffer s(row.text, row.length, row.extra);
        EXPECT_TRUE(Holds(s, row.expected, row.capacity));
        EXPECT_EQ(s.Rep()->referenceCount, 1);
    }
}

TEST(StringBufferTest, NullAndUnreadableTextsCountAsEmpty) {
    for (const auto& [name, bad] : BadTextPointers()) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Holds(StringBuffer(bad), "", 8));

        StringBuffer original("abc");
        StringBuffer copy(original);
        copy.Append(bad, 0, -1);
        EXPECT_EQ(copy.Rep(), original.Rep()) << "Append of a bad text must not unshare";
        EXPECT_TRUE(Holds(copy, "abc"));

        copy.Assign(bad, 0, -1);
        EXPECT_EQ(copy.GetLength(), 0);
        EXPECT_STREQ(copy.GetText(), "");
        EXPECT_TRUE(Holds(original, "abc"));
    }
}

TEST(StringBufferTest, CopiesShareUntilOneChanges) {
    StringBuffer original(40);
    original.Append("abc", 0, -1);
    {
        StringBuffer copy(original);
        StringBuffer assigned("zz");
        assigned = copy;
        EXPECT_EQ(copy.Rep(), original.Rep());
        EXPECT_EQ(assigned.Rep(), original.Rep());
        const StringBuffer& same = assigned;
        assigned = same;
        assigned = original;
        EXPECT_EQ(original.Rep()->referenceCount, 3) << "assigning the same rep takes no reference";

        copy.Append("de", 0, -1);
        EXPECT_NE(copy.Rep(), original.Rep());
        EXPECT_TRUE(Holds(copy, "abcde", 8)) << "a private copy is sized for its length + 3";
        EXPECT_EQ(copy.Rep()->referenceCount, 1);
        EXPECT_TRUE(Holds(original, "abc", 48));
        EXPECT_EQ(original.Rep()->referenceCount, 2);

        const StringBuffer::StringBuffer_rep* own = copy.Rep();
        copy.Append("f", 0, -1);
        copy.MakeUnique();
        EXPECT_EQ(copy.Rep(), own) << "a string nobody shares keeps its rep";
    }
    EXPECT_EQ(original.Rep()->referenceCount, 1);
}

TEST(StringBufferTest, AppendClipsStartAndCountToTheText) {
    const struct { std::int32_t start, count; const char* expected; bool unshares; } rows[] = {
        {1, 3, "ell", true},       {2, -1, "llo", true},   {3, 10, "lo", true},
        {0, -1, "hello", true},    {4, 2147483647, "o", true},
        {0, 0, "", true},          // a valid start unshares even when nothing is appended
        {5, 1, "", false},         {-1, 3, "", false},     {100, -1, "", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "Append('hello', " << row.start << ", " << row.count << ")");
        StringBuffer s(2);
        const StringBuffer other(s);
        s.Append("hello", row.start, row.count);
        EXPECT_TRUE(Holds(s, row.expected));
        EXPECT_EQ(s.Rep() != other.Rep(), row.unshares);
        EXPECT_TRUE(Holds(other, ""));
    }
    StringBuffer s("ab");
    const StringBuffer other(s);
    s.Append("", 0, -1);
    EXPECT_EQ(s.Rep(), other.Rep()) << "an empty text changes nothing";
}

TEST(StringBufferTest, BlocksGrowToExactlyTheNeed) {
    StringBuffer s("abcde");
    ASSERT_TRUE(Holds(s, "abcde", 8));
    EXPECT_TRUE(Holds(s.Append("fg", 0, -1), "abcdefg", 8));
    EXPECT_TRUE(Holds(s.Append("h", 0, -1), "abcdefgh", 16));
    EXPECT_TRUE(Holds(s.Append("ijklmnopqrstuvwxyz", 0, -1), "abcdefghijklmnopqrstuvwxyz", 32));

    StringBuffer grown(2);
    const std::string bytes = "12345678";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "AppendChar number " << i + 1);
        grown.AppendChar(bytes[i]);
        EXPECT_TRUE(Holds(grown, bytes.substr(0, i + 1), i + 1 < 8 ? 8 : 16));
    }
    const StringBuffer sharing(grown);
    grown.AppendChar('\0');
    EXPECT_EQ(grown.Rep(), sharing.Rep()) << "the zero byte is ignored";
    EXPECT_TRUE(Holds(grown, bytes));
}

TEST(StringBufferTest, AppendNumberWritesUnsignedDecimal) {
    const struct { std::uint32_t value; const char* expected; } rows[] = {
        {0, "x0"}, {7, "x7"}, {65535, "x65535"}, {2147483648u, "x2147483648"}, {4294967295u, "x4294967295"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        StringBuffer s("x");
        EXPECT_EQ(&s.AppendNumber(row.value), &s);
        EXPECT_TRUE(Holds(s, row.expected));
    }
}

TEST(StringBufferTest, AssignReplacesTheTextOfAPrivateCopy) {
    StringBuffer s("abcdef");
    const StringBuffer other(s);
    s.Assign("hello", 1, 3);
    EXPECT_TRUE(Holds(s, "ell"));
    EXPECT_TRUE(Holds(other, "abcdef"));
    s.Assign("", 0, -1);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_STREQ(s.GetText(), "");
}

// The module refills its result, message and subject strings this way at
// every call: in place while nobody shares the block, never through a block
// another string still shows a host.
TEST(StringBufferTest, CopyInRefillsOnlyABlockNobodyShares) {
    auto text = [](const StringBuffer& s) { return std::string(s.GetText(), s.Rep()->length); };
    StringBuffer s("0123456789abcdef", -1, 2);
    const char* block = s.GetText();
    s.CopyIn(TextSpan{"xyz", 3});
    EXPECT_EQ("xyz", text(s));
    EXPECT_EQ(block, s.GetText()) << "refilled in its own block";

    const StringBuffer shown = s;
    s.CopyIn(TextSpan{"new", 3});
    EXPECT_EQ("new", text(s));
    EXPECT_EQ("xyz", text(shown)) << "a shared block is left to its other holder";

    StringBuffer own("hello world", -1, 2);
    own.CopyIn(TextSpan{own.GetText() + 6, 5});
    EXPECT_EQ("world", text(own)) << "a span from its own block";

    const std::string longer(100, 'L');
    s.CopyIn(TextSpan{longer.c_str(), 100});
    EXPECT_EQ(longer, text(s));
    EXPECT_EQ(0, s.GetText()[100]);
}

TEST(StringBufferTest, MidClipsAndLeavesTheSourceAlone) {
    const struct { std::int32_t start, count; const char* expected; bool sharesEmpty; } rows[] = {
        {-3, 2, "he", false}, {1, -1, "ello", false},  {3, 10, "lo", false},
        {0, -1, "hello", false}, {2, 2147483647, "llo", false}, {0, 0, "", false},
        {5, 1, "", true},     {9, -1, "", true},
    };
    StringBuffer source("hello");
    const StringBuffer holder(source);
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "Mid(" << row.start << ", " << row.count << ")");
        const StringBuffer piece = source.Mid(row.start, row.count);
        EXPECT_TRUE(Holds(piece, row.expected));
        EXPECT_EQ(piece.Rep() == emptyString.Rep(), row.sharesEmpty);
        EXPECT_NE(piece.Rep(), source.Rep());
        EXPECT_EQ(source.Rep(), holder.Rep());
        EXPECT_EQ(source.Rep()->referenceCount, 2);
    }
    EXPECT_TRUE(Holds(emptyString, "", 8));
}

}  // namespace
