// The library entered from several threads at once, each compiling and
// running its own records: every thread must get the answers one thread
// alone gets. The threads start together, so their first compiles meet
// PCRE2's first-use set-up of its JIT.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

std::string SplitAll(const std::string& pattern, const std::string& subject) {
    return DescribeBSplit(pattern, subject, 0);
}

// Bytes, UTF-8, Shift_JIS (converted to UTF-8 in each thread's own record),
// and a match deep enough to need the thread's own JIT stack.
const struct {
    std::string (*run)(const std::string&, const std::string&);
    const char* pattern;
    std::string subject;
    const char* expected;
} kCases[] = {
    {DescribeBMatch, "/(\\w+)@(\\w+)/", "mail john@example now", "yes 5-17 5-9 10-17"},
    {DescribeBSubst, "s/\xC3\xA9/e/gu", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9", "3:cafe ete"},
    {DescribeBTrans, "tr/a-z/A-Z/", "hello, world", "10:HELLO, WORLD"},
    {SplitAll, "/,\\s*/", "a, b,c", "3|a|b|c"},
    {DescribeBSubst, "s/(\x82\xA0)/[$1]/gk", "a\x82\xA0" "b", "1:a[\x82\xA0]b"},
    {DescribeBMatch, "/(\\w+) (\\d+)/k", "\x83\x65\x83\x58\x83\x67 42", "yes 0-9 0-6 7-9"},
    {DescribeBMatch, "/^(a|b)*$/", std::string(100'000, 'a'), "yes 0-100000 99999-100000"},
};

// Answers the first wrong answer of `rounds` rounds, or "" when none was.
std::string RunRounds(std::atomic<int>& notStarted, int rounds) {
    --notStarted;
    while (notStarted.load() > 0) std::this_thread::yield();
    for (int round = 0; round < rounds; ++round) {
        for (const auto& row : kCases) {
            const std::string answer = row.run(row.pattern, row.subject);
            if (answer != row.expected) return std::string(row.pattern) + " gave \"" + answer + "\"";
        }
    }
    return "";
}

TEST(Threads, ThreadsWithTheirOwnRecordsGetTheirOwnAnswers) {
    constexpr int kThreads = 4;
    std::atomic<int> notStarted{kThreads};
    std::vector<std::string> failures(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) threads.emplace_back([&, i] { failures[i] = RunRounds(notStarted, 50); });
    for (std::thread& thread : threads) thread.join();
    for (const std::string& failure : failures) EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace regexlib_test
