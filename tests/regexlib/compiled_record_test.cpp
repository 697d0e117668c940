// Records compiled from the same operator text share its compiled operator,
// each with its own match state and buffers; the table of compiled operators
// holds only what live records hold.
#include <gtest/gtest.h>

#include <string>

#include "abi/compiled_record.h"
#include "entry_point_calls.h"

namespace regexlib {
namespace {

TEST(CompiledRecord, RecordsShareTheCompiledOperatorOfTheSameTextAlone) {
    const struct {
        const char* first;
        const char* second;
        bool shared;
    } kRows[] = {
        {"/(\\w+)@(\\w+)/", "/(\\w+)@(\\w+)/", true},
        {"s/(\\d+)/<$1>/g", "s/(\\d+)/<$1>/g", true},
        {"tr/a-z/A-Z/", "tr/a-z/A-Z/", true},
        {"/(\\w+)/k", "/(\\w+)/k", true},
        {"/abc/", "/ABC/", false},
        {"/abc/", "/abc/i", false},
        {"s/a/b/", "s/a/b/g", false},
        {"/abc/", "m/abc/", false},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(std::string(row.first) + " and " + row.second);
        const std::size_t before = CompiledOperatorsHeld();
        std::string message;
        bregexp* first = CompileRecord(row.first, message);
        bregexp* second = CompileRecord(row.second, message);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(StateOf(first)->compiled == StateOf(second)->compiled, row.shared);
        EXPECT_EQ(CompiledOperatorsHeld(), before + (row.shared ? 1 : 2));
        FreeRecord(first);
        EXPECT_EQ(CompiledOperatorsHeld(), before + 1);
        FreeRecord(second);
        EXPECT_EQ(CompiledOperatorsHeld(), before);
    }
}

// Interleaved calls on two records of one text, in each encoding: a call on
// one leaves the other's groups and output as they were.
TEST(CompiledRecord, RecordsOfOneTextKeepTheirOwnAnswers) {
    using regexlib_test::DescribeBMatchOn;
    using regexlib_test::DescribeBSubstOn;
    const std::string subjectA = "x 12 y";
    const std::string subjectB = "345 z";
    for (const char* pattern : {"s/(\\d+)/<$1>/g", "s/(\\d+)/<$1>/gu", "s/(\\d+)/<$1>/gk"}) {
        SCOPED_TRACE(pattern);
        bregexp* a = nullptr;
        bregexp* b = nullptr;
        EXPECT_EQ(DescribeBSubstOn(&a, pattern, subjectA), "1:x <12> y");
        EXPECT_EQ(DescribeBSubstOn(&b, pattern, subjectB), "1:<345> z");
        ASSERT_TRUE(a != nullptr && b != nullptr);
        EXPECT_EQ(StateOf(a)->compiled, StateOf(b)->compiled);
        EXPECT_STREQ(a->outputText, "x <12> y");
        EXPECT_EQ(DescribeBMatchOn(&a, nullptr, subjectA), "yes 2-4 2-4");
        EXPECT_EQ(DescribeBMatchOn(&b, nullptr, subjectB), "yes 0-3 0-3");
        EXPECT_EQ(a->groupStarts[1], subjectA.data() + 2);
        BRegfree(b);
        EXPECT_EQ(DescribeBSubstOn(&a, nullptr, "9"), "1:<9>");
        BRegfree(a);
    }
}

}  // namespace
}  // namespace regexlib
