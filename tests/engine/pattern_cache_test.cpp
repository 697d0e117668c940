// The cache protocol seen from the library's side: which pattern text and
// record each call receives, and what the binding hands back at teardown.
#include <gtest/gtest.h>

#include "binding_fixture.h"

namespace {

using PatternCacheTest = BindingTest;

TEST_F(PatternCacheTest, APatternIsCompiledOnceAndThenReusedByItsRecord) {
    auto binding = Bind();
    StringBuffer pattern = Text("/a(b)/");
    StringBuffer subject = Text("xab");
    binding->Match(pattern, subject);
    binding->Match(pattern, subject);
    StringBuffer sameText = Text("/a(b)/");
    binding->Split(sameText, subject, 0);
    const std::vector<std::string> expected = {
        "BMatch pattern=/a(b)/ subject=3 record=null -> 0 #1",
        "BMatch pattern=(null) subject=3 record=#1 -> 0 #1",
        "BSplit pattern=(null) subject=3 limit=0 record=#1 -> 0 #1",
    };
    EXPECT_EQ(expected, LogLines("B"));
    EXPECT_EQ(1, binding->compiled.count);
    EXPECT_EQ(binding->compiled.GetAt(0), binding->patternCache.Lookup(pattern));
}

TEST_F(PatternCacheTest, PatternsDifferingInCaseAreTwoKeys) {
    auto binding = Bind();
    StringBuffer lower = Text("/abc/"), upper = Text("/ABC/"), subject = Text("abc");
    binding->Match(lower, subject);
    binding->Match(upper, subject);
    binding->Match(lower, subject);
    binding->Match(upper, subject);
    EXPECT_EQ(2, binding->compiled.count);
    EXPECT_NE(binding->patternCache.Lookup(lower), binding->patternCache.Lookup(upper));
    EXPECT_EQ(2u, LogLines("BMatch pattern=(null)").size());
}

TEST_F(PatternCacheTest, NoRecordLeftMeansThePatternIsPassedAgain) {
    auto binding = Bind();
    control.Queue(WithoutRecord(Answer(-1, "syntax")));
    StringBuffer pattern = Text("/(/"), subject = Text("x");
    binding->Match(pattern, subject);
    binding->Match(pattern, subject);
    EXPECT_EQ(2u, LogLines("BMatch pattern=/(/ subject=1 record=null").size());
    EXPECT_EQ(1, binding->compiled.count);   // the second call left one
}

TEST_F(PatternCacheTest, ARecordLeftByAFailedCallIsRegisteredAndCached) {
    auto binding = Bind();
    control.Queue(Answer(-1, "failed"));
    StringBuffer pattern = Text("/x/"), subject = Text("y");
    binding->Substitute(pattern, subject);
    EXPECT_EQ(1, binding->compiled.count);
    EXPECT_NE(nullptr, binding->patternCache.Lookup(pattern));
}

TEST_F(PatternCacheTest, EmptyPatternIsCompiledEveryTimeAndNeverCached) {
    auto binding = Bind();
    StringBuffer empty = Text(""), subject = Text("abc");
    for (int call = 0; call < 3; ++call) binding->Match(empty, subject);
    StringBuffer nullPattern(nullptr, -1, 2);
    binding->Translate(nullPattern, subject);
    EXPECT_EQ(4, binding->compiled.count);
    EXPECT_EQ(nullptr, binding->patternCache.Lookup(empty));
    EXPECT_EQ(4u, LogLines("B").size());
    for (const std::string& line : LogLines("B")) EXPECT_NE(std::string::npos, line.find("pattern= "));
}

TEST_F(PatternCacheTest, TeardownHandsBackEveryRecordOldestFirstThenReleasesTheLibrary) {
    auto binding = Bind();
    StringBuffer subject = Text("s");
    for (const char* text : {"/1/", "/2/", "", "/3/", "/1/"}) {
        StringBuffer pattern = Text(text);
        binding->Match(pattern, subject);
    }
    binding.reset();
    const std::vector<std::string> expected = {"BRegfree #1", "BRegfree #2", "BRegfree #3",
                                               "BRegfree #4"};
    EXPECT_EQ(expected, LogLines("BRegfree"));
    EXPECT_EQ(1, watched.releases);
    // Every record went back before the library was released.
    EXPECT_NE(std::string::npos, watched.logAtRelease.find("BRegfree #4"));
}

}  // namespace
