// The library entered from several threads at once, each compiling and
// running its own records: every thread must get the answers one thread
// alone gets. The threads start together, so their first compiles meet
// PCRE2's first-use set-up of its JIT. Records of the same text share one
// compiled pattern, so the threads search with it at the same time.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

std::string SplitAll(const std::string& pattern, const std::string& subject) {
    return DescribeBSplit(pattern, subject, 0);
}

std::string SplitAllOn(bregexp** record, const char* pattern, const std::string& subject) {
    return DescribeBSplitOn(record, pattern, subject, 0);
}

// Bytes, UTF-8, Shift_JIS (converted to UTF-8 in each thread's own record),
// split /^/ (its engine made on a record's first split), and a match deep
// enough to need the thread's own JIT stack.
const struct {
    std::string (*run)(const std::string&, const std::string&);
    std::string (*runOn)(bregexp**, const char*, const std::string&);
    const char* pattern;
    std::string subject;
    const char* expected;
} kCases[] = {
    {DescribeBMatch, DescribeBMatchOn, "/(\\w+)@(\\w+)/", "mail john@example now", "yes 5-17 5-9 10-17"},
    {DescribeBSubst, DescribeBSubstOn, "s/\xC3\xA9/e/gu", "caf\xC3\xA9 \xC3\xA9t\xC3\xA9", "3:cafe ete"},
    {DescribeBTrans, DescribeBTransOn, "tr/a-z/A-Z/", "hello, world", "10:HELLO, WORLD"},
    {SplitAll, SplitAllOn, "/,\\s*/", "a, b,c", "3|a|b|c"},
    {SplitAll, SplitAllOn, "/^/", "x\ny\nz", "3|x\n|y\n|z"},
    {DescribeBSubst, DescribeBSubstOn, "s/(\x82\xA0)/[$1]/gk", "a\x82\xA0" "b", "1:a[\x82\xA0]b"},
    {DescribeBMatch, DescribeBMatchOn, "/(\\w+) (\\d+)/k", "\x83\x65\x83\x58\x83\x67 42", "yes 0-9 0-6 7-9"},
    {DescribeBMatch, DescribeBMatchOn, "/^(a|b)*$/", std::string(100'000, 'a'), "yes 0-100000 99999-100000"},
};

void StartTogether(std::atomic<int>& notStarted) {
    --notStarted;
    while (notStarted.load() > 0) std::this_thread::yield();
}

// Answers the first wrong answer of `rounds` rounds, or "" when none was.
std::string RunRounds(std::atomic<int>& notStarted, int rounds) {
    StartTogether(notStarted);
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

// Each thread's subjects differ from the others' by a prefix, so that an
// answer written by another thread's search would show.
std::string SubjectOfThread(int thread, const std::string& subject) {
    return std::string(static_cast<std::size_t>(thread) + 1, 'a') + subject;
}

// Compiles one record per row, then runs every row on it with a null
// pattern, as a caller keeping a record per thread does.
std::string RunOnOwnRecords(std::atomic<int>& notStarted, int thread,
                            const std::vector<std::string>& expected, int rounds) {
    std::vector<bregexp*> records(std::size(kCases), nullptr);
    StartTogether(notStarted);
    std::string failure;
    for (int round = 0; round < rounds && failure.empty(); ++round) {
        for (std::size_t row = 0; row < std::size(kCases) && failure.empty(); ++row) {
            const char* pattern = round == 0 ? kCases[row].pattern : nullptr;
            const std::string subject = SubjectOfThread(thread, kCases[row].subject);
            const std::string answer = kCases[row].runOn(&records[row], pattern, subject);
            if (answer != expected[row]) failure = std::string(kCases[row].pattern) + " gave \"" + answer + "\"";
        }
    }
    for (bregexp* record : records) BRegfree(record);
    return failure;
}

TEST(Threads, ThreadsWithRecordsOfTheSameTextsGetTheirOwnAnswers) {
    constexpr int kThreads = 4;
    std::vector<std::vector<std::string>> expected(kThreads);
    for (int i = 0; i < kThreads; ++i) {
        for (const auto& row : kCases) expected[i].push_back(row.run(row.pattern, SubjectOfThread(i, row.subject)));
    }
    std::atomic<int> notStarted{kThreads};
    std::vector<std::string> failures(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] { failures[i] = RunOnOwnRecords(notStarted, i, expected[i], 50); });
    }
    for (std::thread& thread : threads) thread.join();
    for (const std::string& failure : failures) EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace regexlib_test
