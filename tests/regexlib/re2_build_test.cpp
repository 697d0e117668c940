// The pinned RE2 that every target builds in: it compiles a pattern and
// matches with groups, here over a subject long enough that a backtracking
// engine would keep one frame per repetition.
#include <gtest/gtest.h>
#include <re2/re2.h>

#include <cstddef>
#include <string>

namespace regexlib_test {
namespace {

TEST(Re2Build, MatchesALongSubjectWithItsLastGroup) {
    RE2::Options options;
    options.set_encoding(RE2::Options::EncodingLatin1);
    options.set_longest_match(false);
    const RE2 pattern("(a|b)*c", options);
    ASSERT_TRUE(pattern.ok()) << pattern.error();

    std::string subject;
    for (int i = 0; i < 200000; ++i) subject += "ab";
    subject += 'c';
    re2::StringPiece groups[2];
    ASSERT_TRUE(pattern.Match(subject, 0, subject.size(), RE2::UNANCHORED, groups, 2));
    EXPECT_EQ(groups[0].data(), subject.data());
    EXPECT_EQ(groups[0].size(), subject.size());
    // The group holds its last repetition, the "b" before the final "c".
    EXPECT_EQ(groups[1].data() - subject.data(), static_cast<std::ptrdiff_t>(subject.size() - 2));
    EXPECT_EQ(groups[1], "b");
}

}  // namespace
}  // namespace regexlib_test
