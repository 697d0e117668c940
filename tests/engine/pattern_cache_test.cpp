// The cache protocol seen from the library's side: which pattern text and
// record each call receives, which records go back and when.
#include <gtest/gtest.h>

#include <string>

#include "binding_fixture.h"

namespace {

using PatternCacheTest = BindingTest;

bregexp* Held(ThreadState& thread, const char* text) {
    return thread.patternCache.Lookup(text);
}

TEST_F(PatternCacheTest, APatternIsCompiledOnceAndThenReusedByItsRecord) {
    auto binding = Bind();
    TextSpan pattern = Text("/a(b)/");
    TextSpan subject = Text("xab");
    binding->Match(thread, pattern, subject);
    binding->Match(thread, pattern, subject);
    const std::string copy = "/a(b)/";
    binding->Split(thread, Text(copy.c_str()), subject, 0);
    const std::vector<std::string> expected = {
        "BMatch pattern=/a(b)/ subject=3 record=null -> 0 #1",
        "BMatch pattern=(null) subject=3 record=#1 -> 0 #1",
        "BSplit pattern=(null) subject=3 limit=0 record=#1 -> 0 #1",
    };
    EXPECT_EQ(expected, LogLines("B"));
    EXPECT_EQ(1u, thread.patternCache.Count());
    EXPECT_NE(nullptr, Held(thread, "/a(b)/"));
}

TEST_F(PatternCacheTest, PatternsDifferingInCaseAreTwoKeys) {
    auto binding = Bind();
    TextSpan lower = Text("/abc/"), upper = Text("/ABC/"), subject = Text("abc");
    binding->Match(thread, lower, subject);
    binding->Match(thread, upper, subject);
    binding->Match(thread, lower, subject);
    binding->Match(thread, upper, subject);
    EXPECT_EQ(2u, thread.patternCache.Count());
    EXPECT_NE(Held(thread, "/abc/"), Held(thread, "/ABC/"));
    EXPECT_EQ(2u, LogLines("BMatch pattern=(null)").size());
}

TEST_F(PatternCacheTest, NoRecordLeftMeansThePatternIsPassedAgain) {
    auto binding = Bind();
    control.Queue(WithoutRecord(Answer(-1, "syntax")));
    TextSpan pattern = Text("/(/"), subject = Text("x");
    binding->Match(thread, pattern, subject);
    binding->Match(thread, pattern, subject);
    EXPECT_EQ(2u, LogLines("BMatch pattern=/(/ subject=1 record=null").size());
    EXPECT_EQ(1u, thread.patternCache.Count());   // the second call left one
}

TEST_F(PatternCacheTest, ARecordLeftByAFailedCallIsRegisteredAndCached) {
    auto binding = Bind();
    control.Queue(Answer(-1, "failed"));
    binding->Substitute(thread, Text("/x/"), Text("y"));
    EXPECT_EQ(1u, thread.patternCache.Count());
    EXPECT_NE(nullptr, Held(thread, "/x/"));
}

TEST_F(PatternCacheTest, EmptyPatternIsCompiledEveryTimeAndNeverCached) {
    auto binding = Bind();
    TextSpan empty = Text(""), subject = Text("abc");
    for (int call = 0; call < 3; ++call) binding->Match(thread, empty, subject);
    binding->Translate(thread, Text(nullptr), subject);
    EXPECT_EQ(4u, thread.patternCache.Count());
    EXPECT_EQ(nullptr, Held(thread, ""));
    EXPECT_EQ(4u, LogLines("B").size());
    for (const std::string& line : LogLines("B")) EXPECT_NE(std::string::npos, line.find("pattern= "));
}

TEST_F(PatternCacheTest, TeardownHandsBackEveryRecordOldestFirstThenReleasesTheLibrary) {
    auto binding = Bind();
    TextSpan subject = Text("s");
    for (const char* text : {"/1/", "/2/", "", "/3/", "/1/"}) binding->Match(thread, Text(text), subject);
    binding.reset();
    const std::vector<std::string> expected = {"BRegfree #1", "BRegfree #2", "BRegfree #3",
                                               "BRegfree #4"};
    EXPECT_EQ(expected, LogLines("BRegfree"));
    EXPECT_EQ(1, watched.releases);
    // Every record went back before the library was released.
    EXPECT_NE(std::string::npos, watched.logAtRelease.find("BRegfree #4"));
}

// Uses the patterns /first/ ... /first+count-1/, each new one compiled.
void UsePatterns(EngineBinding& binding, ThreadState& thread, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        const std::string text = "/" + std::to_string(i) + "/";
        binding.Match(thread, Text(text.c_str()), Text("s"));
    }
}

TEST_F(PatternCacheTest, AFullCacheHandsBackTheLeastRecentlyUsedRecordOnly) {
    auto binding = Bind();
    const int full = static_cast<int>(PatternCache::kCapacity);
    UsePatterns(*binding, thread, 0, full);
    binding->Match(thread, Text("/0/"), Text("s"));   // #1 is used again: #2 is now the oldest in use
    EXPECT_TRUE(LogLines("BRegfree").empty());

    UsePatterns(*binding, thread, full, 1);
    EXPECT_EQ(std::vector<std::string>{"BRegfree #2"}, LogLines("BRegfree"));
    EXPECT_EQ(PatternCache::kCapacity, thread.patternCache.Count());
    EXPECT_NE(nullptr, Held(thread, "/0/"));

    // The evicted pattern is compiled again, and found after that.
    binding->Match(thread, Text("/1/"), Text("s"));
    binding->Match(thread, Text("/1/"), Text("s"));
    const std::vector<std::string> calls = LogLines("BMatch");
    EXPECT_NE(std::string::npos, calls[calls.size() - 2].find("pattern=/1/ subject=1 record=null"));
    EXPECT_NE(std::string::npos, calls.back().find("pattern=(null)"));
    EXPECT_EQ(std::vector<std::string>({"BRegfree #2", "BRegfree #3"}), LogLines("BRegfree"));
}

TEST_F(PatternCacheTest, TeardownOfAFullCacheGoesInRegistrationOrder) {
    auto binding = Bind();
    const int full = static_cast<int>(PatternCache::kCapacity);
    UsePatterns(*binding, thread, 0, full + 2);   // #1 and #2 make room for the last two
    binding->Match(thread, Text("/5/"), Text("s"));   // use order does not change the teardown
    binding.reset();
    const std::vector<std::string> freed = LogLines("BRegfree");
    ASSERT_EQ(PatternCache::kCapacity + 2, freed.size());
    for (std::size_t i = 0; i < freed.size(); ++i) {
        EXPECT_EQ("BRegfree #" + std::to_string(i + 1), freed[i]);
    }
    EXPECT_EQ(1, watched.releases);
}

using ThreadRecordsTest = BindingTest;

// Each thread compiles a pattern for itself and keeps its own record; the
// registry still hands every record back in registration order.
TEST_F(ThreadRecordsTest, EachThreadHasItsOwnRecordOfAPattern) {
    auto binding = Bind();
    ThreadState other;
    binding->Match(thread, Text("/a/"), Text("a"));
    binding->Match(other, Text("/a/"), Text("a"));
    binding->Match(thread, Text("/a/"), Text("a"));
    binding->Match(other, Text("/a/"), Text("a"));
    const std::vector<std::string> expected = {
        "BMatch pattern=/a/ subject=1 record=null -> 0 #1",
        "BMatch pattern=/a/ subject=1 record=null -> 0 #2",
        "BMatch pattern=(null) subject=1 record=#1 -> 0 #1",
        "BMatch pattern=(null) subject=1 record=#2 -> 0 #2",
    };
    EXPECT_EQ(expected, LogLines("BMatch"));
    EXPECT_EQ(2u, binding->compiled.Count());
    binding.reset();
    EXPECT_EQ(std::vector<std::string>({"BRegfree #1", "BRegfree #2"}), LogLines("BRegfree"));
}

TEST_F(ThreadRecordsTest, AnEndingThreadHandsBackItsRecordsOldestFirst) {
    auto binding = Bind();
    ThreadState other;
    UsePatterns(*binding, thread, 0, 1);
    UsePatterns(*binding, other, 1, 3);
    binding->ReleaseThread(other);
    EXPECT_EQ(std::vector<std::string>({"BRegfree #2", "BRegfree #3", "BRegfree #4"}), LogLines("BRegfree"));
    EXPECT_EQ(1u, binding->compiled.Count());
    EXPECT_EQ(0u, other.patternCache.Count());
    binding.reset();
    EXPECT_EQ("BRegfree #1", LogLines("BRegfree").back());
    EXPECT_EQ(1, watched.releases);
}

// The bound counts every thread's records; a thread past it makes room from
// its own, never from another thread's, and keeps at least its newest.
TEST_F(ThreadRecordsTest, ThreadsShareTheBoundAndEachMakesRoomFromItsOwn) {
    auto binding = Bind();
    ThreadState other;
    const int full = static_cast<int>(PatternCache::kCapacity);
    UsePatterns(*binding, thread, 0, full);
    UsePatterns(*binding, other, full, 1);
    EXPECT_TRUE(LogLines("BRegfree").empty());
    UsePatterns(*binding, other, full + 1, 2);
    EXPECT_EQ(std::vector<std::string>({"BRegfree #4097", "BRegfree #4098"}), LogLines("BRegfree"));
    EXPECT_EQ(PatternCache::kCapacity + 1, binding->compiled.Count());
    EXPECT_EQ(1u, other.patternCache.Count());
    EXPECT_EQ(PatternCache::kCapacity, thread.patternCache.Count());
}

}  // namespace
