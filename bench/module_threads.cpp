// How cached MOLV_MATCH calls scale with host threads calling at once,
// measured through the exports only: calls per second on one thread and on
// every core (std::thread::hardware_concurrency), in two cases: all threads
// use one pattern, or each thread a pattern of its own. Texts lie in
// buffers on each thread's stack, and every answer is compared with the
// expected position text; a run with any wrong answer fails. Rounds of one
// thread and of all threads alternate, and the best of each stands, so a
// burst of other work on the shared machine hurts both alike. Prints JSON
// for module_table.pl.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "host_module.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;
constexpr long kCallsPerThread = 500000;

const char kSubject[] = "the quick brown fox jumps over the lazy dog 12-34 and more";
const char kExpected[] = "44:5";

// A comment group names the thread without changing what the pattern
// matches, so each thread's pattern text, and its cached record, is its own.
std::string PatternOf(bool ownPattern, unsigned thread) {
    if (!ownPattern) return "m/(\\d+)-(\\d+)/";
    return "m/(\\d+)-(\\d+)(?#t" + std::to_string(thread) + ")/";
}

// One thread's calls, after a first untimed call (which makes the thread's
// state in the module and compiles its pattern); answers the wrong answers.
long CallMany(const HostModule& module, const std::string& patternText, std::atomic<bool>& go,
              std::atomic<unsigned>& ready) {
    char pattern[64];
    char subject[sizeof kSubject];
    std::memcpy(pattern, patternText.c_str(), patternText.size() + 1);
    std::memcpy(subject, kSubject, sizeof kSubject);
    long wrong = std::strcmp(module.MOLV_MATCH(pattern, subject), kExpected) != 0;
    ++ready;
    while (!go.load()) std::this_thread::yield();
    for (long i = 0; i < kCallsPerThread; ++i) {
        if (std::strcmp(module.MOLV_MATCH(pattern, subject), kExpected) != 0) ++wrong;
    }
    return wrong;
}

struct Round {
    double callsPerSecond;
    long wrong;
};

// `threads` threads calling at once; the clock runs from the moment all of
// them are ready until the last one is done.
Round RunRound(const HostModule& module, unsigned threads, bool ownPattern) {
    std::atomic<bool> go{false};
    std::atomic<unsigned> ready{0};
    std::vector<long> wrong(threads, 0);
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] { wrong[t] = CallMany(module, PatternOf(ownPattern, t), go, ready); });
    }
    while (ready.load() < threads) std::this_thread::yield();
    const Clock::time_point start = Clock::now();
    go = true;
    for (std::thread& worker : workers) worker.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    long wrongTotal = 0;
    for (const long w : wrong) wrongTotal += w;
    return {threads * kCallsPerThread / seconds, wrongTotal};
}

struct Case {
    double oneThread = 0;
    double allThreads = 0;
    long wrong = 0;
};

Case RunCase(const HostModule& module, unsigned threads, bool ownPattern) {
    Case best;
    for (int i = 0; i < kRounds; ++i) {
        const Round one = RunRound(module, 1, ownPattern);
        const Round all = RunRound(module, threads, ownPattern);
        best.oneThread = std::max(best.oneThread, one.callsPerSecond);
        best.allThreads = std::max(best.allThreads, all.callsPerSecond);
        best.wrong += one.wrong + all.wrong;
    }
    return best;
}

}  // namespace

int main() {
    HostModule module;
    if (!module.Loaded() || module.MOLV_VERSION()[0] == 0) {
        std::cerr << "module_threads: cannot load the module beside this program, or its bregexp.dll\n";
        return 2;
    }
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    long wrong = 0;
    std::cout << "{\"threads\": " << threads << ", \"rounds\": " << kRounds << ", \"calls_per_thread\": "
              << kCallsPerThread << ", \"subject_bytes\": " << sizeof kSubject - 1 << ", \"cases\": {";
    const char* separator = "";
    for (const bool ownPattern : {false, true}) {
        const Case c = RunCase(module, threads, ownPattern);
        std::cout << separator << "\n  \"" << (ownPattern ? "own" : "shared") << "\": {\"one_per_s\": "
                  << c.oneThread << ", \"all_per_s\": " << c.allThreads << ", \"wrong\": " << c.wrong << "}";
        separator = ",";
        wrong += c.wrong;
    }
    std::cout << "}}\n";
    if (wrong != 0) {
        std::cerr << "module_threads: " << wrong << " answers were not " << kExpected << "\n";
        return 1;
    }
    return 0;
}
