// Walking the last result set and cutting pieces from the last subject.
#include <gtest/gtest.h>

#include "binding_fixture.h"
#include "engine/packed_position.h"

namespace {

using ResultCursorTest = BindingTest;

std::int32_t Position(std::uint32_t offset, std::uint32_t length) {
    return static_cast<std::int32_t>((length << 16) | offset);
}

TEST_F(ResultCursorTest, WalksTheGroupsOnceThenStaysExhausted) {
    auto binding = Bind();
    EXPECT_EQ(0, EngineBinding::HasMoreResults(thread));
    EXPECT_EQ(kNoPosition, EngineBinding::NextResult(thread));
    control.Queue(WithPairs(Answer(1), {0, 4, 0, 1, 2, 4}));
    TextSpan pattern = Text("/(a).(..)/"), subject = Text("abcd");
    binding->Match(thread, pattern, subject);
    EXPECT_EQ(1, EngineBinding::HasMoreResults(thread));
    EXPECT_EQ(Position(0, 1), EngineBinding::NextResult(thread));
    EXPECT_EQ(1, EngineBinding::HasMoreResults(thread));
    EXPECT_EQ(Position(2, 2), EngineBinding::NextResult(thread));
    for (int call = 0; call < 3; ++call) {
        EXPECT_EQ(0, EngineBinding::HasMoreResults(thread));
        EXPECT_EQ(kNoPosition, EngineBinding::NextResult(thread));
    }
    // A new match starts a new walk.
    control.Queue(WithPairs(Answer(1), {1, 2, 1, 2}));
    binding->Match(thread, pattern, subject);
    EXPECT_EQ(Position(1, 1), EngineBinding::NextResult(thread));
}

TEST_F(ResultCursorTest, ExtractTextCutsFromTheLastSubject) {
    auto binding = Bind();
    EXPECT_STREQ("", Copy(EngineBinding::ExtractText(thread, Position(0, 3))).c_str());
    control.Queue(Answer(0));
    TextSpan pattern = Text("/q/"), subject = Text("abcdef");
    binding->Match(thread, pattern, subject);
    struct Row {
        std::int32_t position;
        const char* text;
    } rows[] = {
        {Position(3, 2), "de"}, {Position(6, 1), ""},   {Position(4, 10), "ef"},
        {Position(0, 0), ""},   {Position(0, 6), "abcdef"}, {kNoPosition, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.text, Copy(EngineBinding::ExtractText(thread, row.position)));
    }
    // A split on another subject becomes the one cut from.
    control.Queue(Answer(-1));
    TextSpan other = Text("xyz");
    binding->Split(thread, pattern, other, 0);
    EXPECT_EQ("yz", Copy(EngineBinding::ExtractText(thread, Position(1, 5))));
}

}  // namespace
