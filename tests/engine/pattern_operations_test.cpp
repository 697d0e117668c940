// What each operation makes of the library's answer, scripted through the
// double: positions, result sets, texts, messages and the last subject.
#include <gtest/gtest.h>

#include <string>

#include "binding_fixture.h"
#include "engine/packed_position.h"

namespace {

using PatternOperationsTest = BindingTest;

std::string PositionOf(std::int32_t value) {
    char text[kPositionTextSize];
    FormatPositionText(value, text);
    return text;
}

std::vector<std::string> Items(const ThreadState& thread) {
    std::vector<std::string> items;
    const ResultSet* set = thread.results.Get();
    for (std::int32_t i = 0; set != nullptr && i < set->count; ++i) items.push_back(PositionOf(set->items[i]));
    return items;
}

TEST_F(PatternOperationsTest, MatchPositionsAndGroups) {
    struct Row {
        const char* name;
        DoubleReply reply;
        std::string whole;
        std::vector<std::string> groups;
        bool hasSet;
    } rows[] = {
        {"no groups", WithPairs(Answer(1), {2, 5}), "2:3", {}, false},
        {"two groups", WithPairs(Answer(1), {1, 6, 1, 3, 4, 6}), "1:5", {"1:2", "4:2"}, true},
        {"empty match at 0", WithPairs(Answer(1), {0, 0}), "0:0", {}, false},
        {"idle group", WithPairs(Answer(1), {0, 2, -1, -1, 0, 1}), "0:2", {"", "0:1"}, true},
        {"no match", Answer(0), "", {}, false},
        {"failure", Answer(-3, "bad"), "", {}, false},
        {"success without record", WithoutRecord(WithPairs(Answer(1), {0, 1})), "", {}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto binding = Bind();
        control.Queue(WithPairs(Answer(1), {0, 1, 0, 1}));   // leaves a set to be replaced
        TextSpan first = Text("/first/"), pattern = Text("/p/"), subject = Text("abcdefgh");
        binding->Match(thread, first, subject);
        control.Queue(row.reply);
        EXPECT_EQ(row.whole, PositionOf(binding->Match(thread, pattern, subject)));
        EXPECT_EQ(row.hasSet, thread.results.Get() != nullptr);
        EXPECT_EQ(row.groups, Items(thread));
        EXPECT_STREQ("abcdefgh", thread.lastSubject.GetText());
    }
}

TEST_F(PatternOperationsTest, PositionsWrapAtSixteenBits) {
    const std::string longSubject(140000, 'x');
    struct Row {
        const char* name;
        long long start, end;
        std::string text;
    } rows[] = {
        {"offset 65536", 65536, 65540, "0:4"},
        {"length 65536", 0, 65536, "0:0"},
        {"offset 70000", 70000, 70001, "4464:1"},
        {"all bits set reads as no match", 65535, 131070, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto binding = Bind();
        control.Queue(WithPairs(Answer(1), {row.start, row.end}));
        TextSpan pattern = Text("/x/"), subject = Text(longSubject.c_str());
        EXPECT_EQ(row.text, PositionOf(binding->Match(thread, pattern, subject)));
    }
}

TEST_F(PatternOperationsTest, SubstitutionAndTranslationResults) {
    struct Row {
        const char* name;
        bool translate;
        DoubleReply reply;
        const char* result;
    } rows[] = {
        {"substituted", false, WithOutput(Answer(2), "xBx"), "xBx"},
        {"nothing substituted gives the subject", false, WithOutput(Answer(0), "ignored"), "subject"},
        {"failed substitution", false, WithOutput(Answer(-1), "ignored"), ""},
        {"substituted without record", false, WithoutRecord(Answer(1)), ""},
        {"translated", true, WithOutput(Answer(3), "SUBJECT"), "SUBJECT"},
        {"translation count 0 still gives the output", true, WithOutput(Answer(0), "out"), "out"},
        {"failed translation", true, WithOutput(Answer(-1), "ignored"), ""},
        {"translated without record", true, WithoutRecord(Answer(0)), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto binding = Bind();
        control.Queue(row.reply);
        TextSpan pattern = Text("s/a/b/"), subject = Text("subject");
        const std::string result = row.translate ? binding->Translate(thread, pattern, subject)
                                                 : binding->Substitute(thread, pattern, subject);
        EXPECT_EQ(row.result, result);
    }
}

TEST_F(PatternOperationsTest, SplitCountsPiecesAndPassesTheLimitUnchanged) {
    auto binding = Bind();
    TextSpan pattern = Text("/,/"), subject = Text("a,bb,c");
    control.Queue(WithPairs(Answer(3), {0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(3, binding->Split(thread, pattern, subject, -7));
    EXPECT_EQ((std::vector<std::string>{"0:1", "2:2", "5:1"}), Items(thread));
    control.Queue(Answer(0));
    EXPECT_EQ(-1, binding->Split(thread, pattern, subject, 2));
    EXPECT_EQ(nullptr, thread.results.Get());
    control.Queue(WithoutRecord(Answer(2)));
    TextSpan fresh = Text("/;/");
    EXPECT_EQ(-1, binding->Split(thread, fresh, subject, 0));
    const std::vector<std::string> lines = LogLines("BSplit");
    ASSERT_EQ(3u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("limit=-7"));
    EXPECT_NE(std::string::npos, lines[1].find("limit=2"));
}

TEST_F(PatternOperationsTest, SubstitutionAndTranslationLeaveTheMatchAlone) {
    auto binding = Bind();
    TextSpan pattern = Text("/(a)(b)/"), subject = Text("zab");
    control.Queue(WithPairs(Answer(1), {1, 3, 1, 2, 2, 3}));
    binding->Match(thread, pattern, subject);
    EngineBinding::NextResult(thread);
    TextSpan other = Text("other"), rule = Text("tr/a/b/");
    control.Queue(WithOutput(Answer(1), "x"));
    binding->Substitute(thread, rule, other);
    control.Queue(WithOutput(Answer(1), "y"));
    binding->Translate(thread, rule, other);
    EXPECT_STREQ("zab", thread.lastSubject.GetText());
    EXPECT_EQ("2:1", PositionOf(EngineBinding::NextResult(thread)));
}

TEST_F(PatternOperationsTest, EveryOperationKeepsTheLibrarysMessage) {
    auto binding = Bind();
    TextSpan pattern = Text("/m/"), subject = Text("s");
    control.Queue(Answer(0, "from match"));
    binding->Match(thread, pattern, subject);
    EXPECT_STREQ("from match", thread.errorText.GetText());
    control.Queue(Answer(-1, "from subst"));
    binding->Substitute(thread, pattern, subject);
    EXPECT_STREQ("from subst", thread.errorText.GetText());
    control.Queue(Answer(0, "from trans"));
    binding->Translate(thread, pattern, subject);
    EXPECT_STREQ("from trans", thread.errorText.GetText());
    control.Queue(Answer(1, ""));
    binding->Split(thread, pattern, subject, 0);
    EXPECT_STREQ("", thread.errorText.GetText());
    // A message that fills the whole buffer is cut at its last byte.
    const std::string tooLong(100, 'm');
    control.Queue(Answer(-1, tooLong.c_str()));
    binding->Match(thread, pattern, subject);
    EXPECT_EQ(79, thread.errorText.GetLength());
}

}  // namespace
