// The pattern and cursor exports through the loaded module, on answers
// scripted into the double.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "double_control.h"
#include "module_beside_double.h"

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
        while (module.MOLV_HASMORERESULTS() == 1) items.push_back(module.MOLV_GETNEXT());
        return items;
    }
    DoubleControl control{DoublePath("full")};
    ModuleBesideDouble module{"full"};
};

TEST_F(ModuleExports, MatchWithGroupsIsWalkedAndCut) {
    control.Queue(WithPairs(Answer(1), {2, 7, 2, 4, 5, 7}));
    const char* whole = module.MOLV_MATCH("/(..).(..)/", "xyabcdefg");
    EXPECT_STREQ("2:5", whole);
    EXPECT_STREQ("abcde", module.MOLV_POSTOSTR(whole));
    EXPECT_EQ((std::vector<std::string>{"2:2", "5:2"}), Walk());
    EXPECT_STREQ("", module.MOLV_GETNEXT());
    EXPECT_STREQ("", module.MOLV_GETNEXT());
    EXPECT_EQ(0, module.MOLV_HASMORERESULTS());
    EXPECT_STREQ("de", module.MOLV_POSTOSTR("5:2"));
}

TEST_F(ModuleExports, MatchWithoutGroupsOrWithoutMatchLeavesNothingToWalk) {
    control.Queue(WithPairs(Answer(1), {0, 1, 0, 1}));
    module.MOLV_MATCH("/(a)/", "abc");
    control.Queue(WithPairs(Answer(1), {1, 2}));
    EXPECT_STREQ("1:1", module.MOLV_MATCH("/b/", "abc"));
    EXPECT_EQ(0, module.MOLV_HASMORERESULTS());
    control.Queue(Answer(0));
    EXPECT_STREQ("", module.MOLV_MATCH("/q/", "other"));
    EXPECT_STREQ("", module.MOLV_GETNEXT());
    // The subject of the failed match is the one cut from.
    EXPECT_STREQ("the", module.MOLV_POSTOSTR("1:3"));
}

TEST_F(ModuleExports, IdleGroupAndAllBitsSetAreHandedOutAsEmptyText) {
    control.Queue(WithPairs(Answer(1), {0, 3, -1, -1, 1, 2}));
    EXPECT_STREQ("0:3", module.MOLV_MATCH("/(x)?.(b)./", "abc"));
    EXPECT_EQ(1, module.MOLV_HASMORERESULTS());
    EXPECT_STREQ("", module.MOLV_GETNEXT());
    EXPECT_EQ(1, module.MOLV_HASMORERESULTS());
    EXPECT_STREQ("1:1", module.MOLV_GETNEXT());
}

TEST_F(ModuleExports, SplitPiecesAreWalkedInOrder) {
    control.Queue(WithPairs(Answer(3), {0, 1, 2, 4, 5, 6}));
    EXPECT_EQ(3, module.MOLV_SPLIT("/,/", "a,bb,c", -1));
    std::vector<std::string> pieces;
    while (module.MOLV_HASMORERESULTS() == 1) pieces.push_back(module.MOLV_POSTOSTR(module.MOLV_GETNEXT()));
    EXPECT_EQ((std::vector<std::string>{"a", "bb", "c"}), pieces);
    control.Queue(Answer(0));
    EXPECT_EQ(-1, module.MOLV_SPLIT("/;/", "abc", 0));
    EXPECT_EQ(0, module.MOLV_HASMORERESULTS());
}

TEST_F(ModuleExports, SubstitutionAndTranslationTexts) {
    control.Queue(WithOutput(Answer(2), "xbxb"));
    EXPECT_STREQ("xbxb", module.MOLV_SUBST("s/a/x/g", "abab"));
    control.Queue(WithOutput(Answer(0), "unused"));
    EXPECT_STREQ("abab", module.MOLV_SUBST("s/q/x/g", "abab"));
    control.Queue(WithOutput(Answer(0), "ABAB"));
    EXPECT_STREQ("ABAB", module.MOLV_TRANS("tr/a-z/A-Z/", "abab"));
    control.Queue(Answer(-1, "bad"));
    EXPECT_STREQ("", module.MOLV_TRANS("tr/a", "abab"));
    EXPECT_STREQ("bad", module.MOLV_ERRORMSG());
}

TEST_F(ModuleExports, UnusablePositionTextsLeaveThePreviousResultIntact) {
    control.Queue(WithPairs(Answer(1), {1, 3}));
    module.MOLV_MATCH("/bc/", "abcdef");
    const char* previous = module.MOLV_POSTOSTR("3:2");
    EXPECT_STREQ("de", previous);
    for (const char* unusable : {":5", "5:", "5", "", "65535:65535", "65535:-1"}) {
        SCOPED_TRACE(unusable);
        EXPECT_STREQ("", module.MOLV_POSTOSTR(unusable));
        EXPECT_STREQ("de", previous);
    }
    EXPECT_STREQ("ef", module.MOLV_POSTOSTR("4:10"));
    EXPECT_STREQ("", module.MOLV_POSTOSTR("6:1"));
}

// Hosts chain calls: an argument may be the text the previous call returned,
// which the next hand-off releases.
TEST_F(ModuleExports, AReturnedTextCanBeHandedStraightBack) {
    control.Queue(WithOutput(Answer(1), "first result"));
    control.Queue(WithOutput(Answer(1), "second result"));
    EXPECT_STREQ("second result", module.MOLV_SUBST("s/b/c/", module.MOLV_SUBST("s/a/b/", "subject")));
    EXPECT_NE(std::string::npos, control.Log().find("BSubst pattern=s/b/c/ subject=12 "));
    control.Queue(WithPairs(Answer(1), {0, 5}));
    EXPECT_STREQ("chain", module.MOLV_POSTOSTR(module.MOLV_MATCH("/chain/", "chained")));
}

TEST_F(ModuleExports, PositionsPastSixteenBitsWrap) {
    const std::string subject(140000, 'x');
    control.Queue(WithPairs(Answer(1), {65536, 65540}));
    EXPECT_STREQ("0:4", module.MOLV_MATCH("/x{4}/", subject.c_str()));
    control.Queue(WithPairs(Answer(1), {0, 65536}));
    EXPECT_STREQ("0:0", module.MOLV_MATCH("/x+/", subject.c_str()));
    control.Queue(WithPairs(Answer(1), {65535, 131070}));
    EXPECT_STREQ("", module.MOLV_MATCH("/.+/", subject.c_str()));
}

TEST_F(ModuleExports, SubstitutionAndTranslationBetweenAMatchAndItsWalk) {
    control.Queue(WithPairs(Answer(1), {0, 2, 0, 1, 1, 2}));
    module.MOLV_MATCH("/(a)(b)/", "abc");
    EXPECT_STREQ("0:1", module.MOLV_GETNEXT());
    control.Queue(WithOutput(Answer(1), "zzz"));
    module.MOLV_SUBST("s/x/y/", "other text");
    control.Queue(WithOutput(Answer(1), "ZZZ"));
    module.MOLV_TRANS("tr/a/b/", "another");
    EXPECT_STREQ("1:1", module.MOLV_GETNEXT());
    EXPECT_STREQ("b", module.MOLV_POSTOSTR("1:1"));
}

TEST_F(ModuleExports, ErrorMessageFollowsEveryPatternExportAndNothingElse) {
    struct Row {
        const char* message;
        std::function<void(ModuleBesideDouble&)> call;
    } rows[] = {
        {"match said", [](ModuleBesideDouble& m) { m.MOLV_MATCH("/1/", "a"); }},
        {"subst said", [](ModuleBesideDouble& m) { m.MOLV_SUBST("s/2//", "a"); }},
        {"trans said", [](ModuleBesideDouble& m) { m.MOLV_TRANS("tr/3//", "a"); }},
        {"split said", [](ModuleBesideDouble& m) { m.MOLV_SPLIT("/4/", "a", 0); }},
        {"", [](ModuleBesideDouble& m) { m.MOLV_MATCH("/5/", "a"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        control.Queue(WithPairs(Answer(1, row.message), {0, 1, 0, 1}));
        row.call(module);
        EXPECT_STREQ(row.message, module.MOLV_ERRORMSG());
        module.MOLV_GETNEXT();
        module.MOLV_HASMORERESULTS();
        module.MOLV_POSTOSTR("0:1");
        module.MOLV_VERSION();
        EXPECT_STREQ(row.message, module.MOLV_ERRORMSG());
    }
}

}  // namespace
