// How the module's pattern cache bears a host that uses many distinct
// patterns, measured in one process through the ten exports only: after 1,
// 1,000, 10,000, 100,000 and 1,000,000 patterns (m/k<N>=(\d+)/) have each
// been used once, the time of a hot call of one cached pattern, the time of
// a new pattern's first call, and the process's resident memory. Prints
// JSON for module_table.pl.
//
// A module that keeps every pattern it ever saw may not reach a million in
// reasonable time or memory: the run stops adding patterns when it passes
// its time budget or memory limit, and says so, instead of taking the
// machine down.
// Usage: module_scaling [--budget-seconds S] [--max-rss-mib M]
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "host_module.h"
#include "process_memory.h"

namespace {

using Clock = std::chrono::steady_clock;

const long kCounts[] = {1, 1000, 10000, 100000, 1000000};
constexpr int kRounds = 9;
constexpr int kHotCallsPerRound = 100000;
// Few, so the count of patterns used barely moves while they are timed.
constexpr int kFirstCallsPerRound = 20;

std::string PatternText(long n) {
    return "m/k" + std::to_string(n) + "=(\\d+)/";
}

// The texts go into buffers in the caller's frame: texts on the calling
// thread's stack spare the module its readability check, so the figures are
// the cache's own.
template <std::size_t Size>
void Put(char (&buffer)[Size], const std::string& text) {
    if (text.size() >= Size) std::abort();
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

long ResidentKiB() { return static_cast<long>(ResidentBytes() / 1024); }

// Nanoseconds per call: the median over the rounds, each round answering
// the time its `calls` calls took. One round first warms caches and clock
// up, untimed.
template <typename Round>
double MedianNs(int calls, Round round) {
    round();
    std::vector<double> perCall;
    for (int i = 0; i < kRounds; ++i) {
        perCall.push_back(std::chrono::duration<double, std::nano>(round()).count() / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

// Keeps the answers read, so no call can be left out.
volatile char sink;

// A host that uses the patterns k0, k1, ... one after another.
class PatternHost {
public:
    explicit PatternHost(const HostModule& module) : module(module) {}

    long Used() const { return used; }

    void UseNext() {
        char pattern[64];
        char subject[64];
        Put(pattern, PatternText(used));
        Put(subject, "k" + std::to_string(used) + "=42");
        sink = *module.MOLV_MATCH(pattern, subject);
        ++used;
    }

    // The pattern used last, called again and again.
    double HotCallNs() const {
        char pattern[64];
        char subject[64];
        Put(pattern, PatternText(used - 1));
        Put(subject, "k" + std::to_string(used - 1) + "=42");
        return MedianNs(kHotCallsPerRound, [&] {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < kHotCallsPerRound; ++i) sink = *module.MOLV_MATCH(pattern, subject);
            return Clock::now() - start;
        });
    }

    // Patterns never used before, each called once; their texts are made
    // before the clock starts.
    double FirstCallNs() {
        return MedianNs(kFirstCallsPerRound, [&] {
            char patterns[kFirstCallsPerRound][64];
            char subject[] = "k0=42";
            for (auto& pattern : patterns) Put(pattern, PatternText(used++));
            const Clock::time_point start = Clock::now();
            for (const char* pattern : patterns) sink = *module.MOLV_MATCH(pattern, subject);
            return Clock::now() - start;
        });
    }

private:
    const HostModule& module;
    long used = 0;
};

struct Limits {
    double budgetSeconds = 300;
    long maxResidentKiB = 4096L * 1024;
};

bool ParseArguments(int argc, char** argv, Limits& limits) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--budget-seconds") {
            limits.budgetSeconds = std::atof(argv[i + 1]);
        } else if (option == "--max-rss-mib") {
            limits.maxResidentKiB = std::atol(argv[i + 1]) * 1024;
        } else {
            return false;
        }
    }
    return argc % 2 == 1;
}

// Adds patterns up to `count`; answers why it stopped short, or "".
std::string GrowTo(PatternHost& host, long count, const Limits& limits, Clock::time_point started) {
    while (host.Used() < count) {
        host.UseNext();
        if (host.Used() % 1000 != 0) continue;
        if (std::chrono::duration<double>(Clock::now() - started).count() > limits.budgetSeconds) {
            return "time budget of " + std::to_string(static_cast<long>(limits.budgetSeconds)) +
                   " s spent after " + std::to_string(host.Used()) + " patterns";
        }
        if (ResidentKiB() > limits.maxResidentKiB) {
            return "memory limit of " + std::to_string(limits.maxResidentKiB / 1024) + " MiB passed after " +
                   std::to_string(host.Used()) + " patterns";
        }
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    Limits limits;
    if (!ParseArguments(argc, argv, limits)) {
        std::cerr << "usage: module_scaling [--budget-seconds S] [--max-rss-mib M]\n";
        return 2;
    }
    HostModule module;
    if (!module.Loaded() || module.MOLV_VERSION()[0] == 0) {
        std::cerr << "module_scaling: cannot load the module beside this program, or its bregexp.dll\n";
        return 2;
    }
    PatternHost host(module);
    const Clock::time_point started = Clock::now();
    std::string stopped;
    std::cout << "{\"stages\": [";
    const char* separator = "";
    for (const long count : kCounts) {
        stopped = GrowTo(host, count, limits, started);
        if (!stopped.empty()) break;
        const long residentKiB = ResidentKiB();
        const double hot = host.HotCallNs();
        const double first = host.FirstCallNs();
        std::cout << separator << "\n  {\"patterns\": " << count << ", \"hot_ns\": " << hot
                  << ", \"first_ns\": " << first << ", \"rss_kib\": " << residentKiB << "}";
        std::cout.flush();
        separator = ",";
    }
    std::cout << "],\n \"stopped\": \"" << stopped << "\"}\n";
    return 0;
}
