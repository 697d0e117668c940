// Deep PCRE2 matches and the address space they cost: every thread shares one
// JIT stack among all its patterns, grown on demand up to its limit and
// given back when the thread ends.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

// Each repetition of a capturing group in a loop keeps a backtracking frame
// on the JIT stack: 100,000 need more than PCRE2's 32 KiB machine-stack
// area, 1,000,000 more than the 4 MiB a thread's stack may grow to. Past
// that the linear engine answers a regular pattern, and PCRE2's interpreter
// one with a backreference.
const std::string kDeepPattern = "/^(a|b)*$/";

void ExpectDeepMatchesToGoOnPastTheStackLimit() {
    EXPECT_EQ(DescribeBMatch(kDeepPattern, std::string(100'000, 'a')), "yes 0-100000 99999-100000");
    EXPECT_EQ(DescribeBMatch(kDeepPattern, std::string(1'000'000, 'a')), "yes 0-1000000 999999-1000000");
    EXPECT_EQ(DescribeBMatch("/^(a|b)*\\1$/", std::string(1'000'000, 'a')), "yes 0-1000000 999998-999999");
}

TEST(JitStack, DeepMatchesGrowTheThreadsStackAndThenGoOn) {
    ExpectDeepMatchesToGoOnPastTheStackLimit();
    std::thread other(ExpectDeepMatchesToGoOnPastTheStackLimit);
    other.join();
}

// The process's reserved address space in KiB, or -1 off Linux.
long VirtualKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
    }
    return -1;
}

// A JIT stack per pattern, or one kept for each ended thread, would reserve
// 4 MiB each: 8 GiB for these patterns, 160 MiB for these threads.
TEST(JitStack, PatternsAndEndedThreadsReserveLittleAddressSpace) {
    const long before = VirtualKib();
    if (before < 0) GTEST_SKIP() << "no /proc/self/status";
    std::vector<bregexp*> records;
    char message[kMessageBufferSize];
    const std::string subject = "abc";
    for (int i = 0; i < 2000; ++i) {
        const std::string pattern = "/a(b)c|x" + std::to_string(i) + "/";
        bregexp* record = nullptr;
        ASSERT_EQ(BMatch(pattern.c_str(), subject.data(), subject.data() + 3, &record, message), 1) << message;
        records.push_back(record);
    }
    for (int i = 0; i < 40; ++i) {
        std::thread([] { DescribeBMatch(kDeepPattern, std::string(100'000, 'a')); }).join();
    }
    EXPECT_LT(VirtualKib() - before, 100 * 1024);
    for (bregexp* record : records) BRegfree(record);
}

}  // namespace
}  // namespace regexlib_test
