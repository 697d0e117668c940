// The pattern and cursor exports through the loaded module, on answers
// scripted into the double.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "double_control.h"
#include "loaded_module.h"

namespace {

class ModuleExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(control.Loaded());
        control.Reset();
        ASSERT_TRUE(module.Loaded());
    }
    // Every position the cursor hands out, until it runs dry.
    std::vector<std::string> Walk() {
        std::vector<std::string> items;
        while (module.HasMoreResults() == 1) items.push_back(module.GetNext());
        return items;
    }
    DoubleControl control{DoublePath("full")};
    LoadedModule module{"full"};
};

TEST_F(ModuleExports, MatchWithGroupsIsWalkedAndCut) {
    control.Queue(WithPairs(Answer(1), {2, 7, 2, 4, 5, 7}));
    const char* whole = module.Match("/(..).(..)/", "xyabcdefg");
    EXPECT_STREQ("2:5", whole);
    EXPECT_STREQ("abcde", module.PosToStr(whole));
    EXPECT_EQ((std::vector<std::string>{"2:2", "5:2"}), Walk());
    EXPECT_STREQ("", module.GetNext());
    EXPECT_STREQ("", module.GetNext());
    EXPECT_EQ(0, module.HasMoreResults());
    EXPECT_STREQ("de", module.PosToStr("5:2"));
}

TEST_F(ModuleExports, MatchWithoutGroupsOrWithoutMatchLeavesNothingToWalk) {
    control.Queue(WithPairs(Answer(1), {0, 1, 0, 1}));
    module.Match("/(a)/", "abc");
    control.Queue(WithPairs(Answer(1), {1, 2}));
    EXPECT_STREQ("1:1", module.Match("/b/", "abc"));
    EXPECT_EQ(0, module.HasMoreResults());
    control.Queue(Answer(0));
    EXPECT_STREQ("", module.Match("/q/", "other"));
    EXPECT_STREQ("", module.GetNext());
    // The subject of the failed match is the one cut from.
    EXPECT_STREQ("the", module.PosToStr("1:3"));
}

TEST_F(ModuleExports, IdleGroupAndAllBitsSetAreHandedOutAsEmptyText) {
    control.Queue(WithPairs(Answer(1), {0, 3, -1, -1, 1, 2}));
    EXPECT_STREQ("0:3", module.Match("/(x)?.(b)./", "abc"));
    EXPECT_EQ(1, module.HasMoreResults());
    EXPECT_STREQ("", module.GetNext());
    EXPECT_EQ(1, module.HasMoreResults());
    EXPECT_STREQ("1:1", module.GetNext());
}

TEST_F(ModuleExports, SplitPiecesAreWalkedInOrder) {
    control.Queue(WithPairs(Answer(3), {0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(3, module.Split("/,/", "a,bb,c", -1));
    std::vector<std::string> pieces;
    while (module.HasMoreResults() == 1) pieces.push_back(module.PosToStr(module.GetNext()));
    EXPECT_EQ((std::vector<std::string>{"a", "bb", "c"}), pieces);
    control.Queue(Answer(0));
    EXPECT_EQ(-1, module.Split("/;/", "abc", 0));
    EXPECT_EQ(0, module.HasMoreResults());
}

TEST_F(ModuleExports, SubstitutionAndTranslationTexts) {
    control.Queue(WithOutput(Answer(2), "xbxb"));
    EXPECT_STREQ("xbxb", module.Subst("s/a/x/g", "abab"));
    control.Queue(WithOutput(Answer(0), "unused"));
    EXPECT_STREQ("abab", module.Subst("s/q/x/g", "abab"));
    control.Queue(WithOutput(Answer(0), "ABAB"));
    EXPECT_STREQ("ABAB", module.Trans("tr/a-z/A-Z/", "abab"));
    control.Queue(Answer(-1, "bad"));
    EXPECT_STREQ("", module.Trans("tr/a", "abab"));
    EXPECT_STREQ("bad", module.ErrorMsg());
}

TEST_F(ModuleExports, UnusablePositionTextsLeaveThePreviousResultIntact) {
    control.Queue(WithPairs(Answer(1), {1, 3}));
    module.Match("/bc/", "abcdef");
    const char* previous = module.PosToStr("3:2");
    EXPECT_STREQ("de", previous);
    for (const char* unusable : {":5", "5:", "5", "", "65535:65535", "65535:-1"}) {
        SCOPED_TRACE(unusable);
        EXPECT_STREQ("", module.PosToStr(unusable));
        EXPECT_STREQ("de", previous);
    }
    EXPECT_STREQ("ef", module.PosToStr("4:10"));
    EXPECT_STREQ("", module.PosToStr("6:1"));
}

// Hosts chain calls: an argument may be the text the previous call returned,
// which the next hand-off releases.
TEST_F(ModuleExports, AReturnedTextCanBeHandedStraightBack) {
    control.Queue(WithOutput(Answer(1), "first result"));
    control.Queue(WithOutput(Answer(1), "second result"));
    EXPECT_STREQ("second result", module.Subst("s/b/c/", module.Subst("s/a/b/", "subject")));
    EXPECT_NE(std::string::npos, control.Log().find("BSubst pattern=s/b/c/ subject=12 "));
    control.Queue(WithPairs(Answer(1), {0, 5}));
    EXPECT_STREQ("chain", module.PosToStr(module.Match("/chain/", "chained")));
}

TEST_F(ModuleExports, PositionsPastSixteenBitsWrap) {
    const std::string subject(140000, 'x');
    control.Queue(WithPairs(Answer(1), {65536, 65540}));
    EXPECT_STREQ("0:4", module.Match("/x{4}/", subject.c_str()));
    control.Queue(WithPairs(Answer(1), {0, 65536}));
    EXPECT_STREQ("0:0", module.Match("/x+/", subject.c_str()));
    control.Queue(WithPairs(Answer(1), {65535, 131070}));
    EXPECT_STREQ("", module.Match("/.+/", subject.c_str()));
}

TEST_F(ModuleExports, SubstitutionAndTranslationBetweenAMatchAndItsWalk) {
    control.Queue(WithPairs(Answer(1), {0, 2, 0, 1, 1, 2}));
    module.Match("/(a)(b)/", "abc");
    EXPECT_STREQ("0:1", module.GetNext());
    control.Queue(WithOutput(Answer(1), "zzz"));
    module.Subst("s/x/y/", "other text");
    control.Queue(WithOutput(Answer(1), "ZZZ"));
    module.Trans("tr/a/b/", "another");
    EXPECT_STREQ("1:1", module.GetNext());
    EXPECT_STREQ("b", module.PosToStr("1:1"));
}

TEST_F(ModuleExports, ErrorMessageFollowsEveryPatternExportAndNothingElse) {
    struct Row {
        const char* message;
        std::function<void(LoadedModule&)> call;
    } rows[] = {
        {"match said", [](LoadedModule& m) { m.Match("/1/", "a"); }},
        {"subst said", [](LoadedModule& m) { m.Subst("s/2//", "a"); }},
        {"trans said", [](LoadedModule& m) { m.Trans("tr/3//", "a"); }},
        {"split said", [](LoadedModule& m) { m.Split("/4/", "a", 0); }},
        {"", [](LoadedModule& m) { m.Match("/5/", "a"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        control.Queue(WithPairs(Answer(1, row.message), {0, 1, 0, 1}));
        row.call(module);
        EXPECT_STREQ(row.message, module.ErrorMsg());
        module.GetNext();
        module.HasMoreResults();
        module.PosToStr("0:1");
        module.Version();
        EXPECT_STREQ(row.message, module.ErrorMsg());
    }
}

}  // namespace
