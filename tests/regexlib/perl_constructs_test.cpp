// Perl constructs that PCRE2 reads otherwise or not at all, through BMatch:
// each is translated to PCRE2's form of it or refused with a message that
// names it, never run with another meaning.
#include <gtest/gtest.h>

#include <string>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

TEST(PerlConstructs, MatchAsPerlOrAreRefused) {
    const struct {
        const char* pattern;
        const char* subject;
        const char* expected;  // a refusal: "failed: " and part of its message
    } kRows[] = {
        {"m/[a b]/xx", " ", "no"},
        {"m/[a b]/x", " ", "yes 0-1"},
        {"m/[\\d-   ]+/xx", "1-", "yes 0-2"},
        {"m/[a\tb]/xx", "\t", "no"},
    };
    for (const auto& row : kRows) {
        const std::string answer = DescribeBMatch(row.pattern, row.subject);
        const std::string expected = row.expected;
        if (expected.rfind("failed: ", 0) == 0) {
            EXPECT_EQ(answer.rfind(expected, 0), 0u) << row.pattern << " gave " << answer;
        } else {
            EXPECT_EQ(answer, expected) << row.pattern << " on \"" << row.subject << "\"";
        }
    }
}

}  // namespace
}  // namespace regexlib_test
