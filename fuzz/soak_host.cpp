// The soak: a million calls over a bounded set of patterns must leave the
// process's memory flat once every pattern has been compiled. The heap in
// use and the resident size are read after a warm-up and again at the end;
// then a run of new, distinct patterns shows the one thing that does grow,
// the cache, one entry per distinct pattern.
//   molv_soak_host [calls] [warm-up calls] [distinct patterns]
//   (defaults 1000000, 100000, 2000)
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host_checks.h"
#include "host_module.h"
#include "process_memory.h"

namespace {

// Bytes the allocator has handed out and not yet been given back.
long long HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Signed, for the differences below.
long long Resident() { return static_cast<long long>(ResidentBytes()); }

// The bounded set: every kind of call, groups, Shift_JIS, a failing pattern.
struct Work {
    std::vector<std::string> patterns;
    std::vector<std::string> subjects;
    Work() {
        for (int i = 0; i < 8; ++i) {
            const std::string n = std::to_string(i);
            patterns.push_back("m/(\\w+)" + n + "(\\d*)/");
            patterns.push_back("s/" + n + "/<$&>/g");
            patterns.push_back("tr/a-" + std::string(1, static_cast<char>('c' + i)) + "/A-Z/");
            patterns.push_back("/[" + n + ",]/");
        }
        patterns.push_back("m/\x82\xa0(.)/k");
        patterns.push_back("m/(/");
        for (int i = 0; i < 16; ++i) {
            subjects.push_back("word" + std::to_string(i * 7) + " other,words 12" + std::to_string(i) +
                               std::string(static_cast<std::size_t>(i * 8), 'x') + ",\x82\xa0\x82\xa2 end");
        }
    }
};

// One call of the mix; returns the number of exports called.
int Call(HostModule& m, const Work& work, long long i) {
    const std::string& pattern = work.patterns[static_cast<std::size_t>(i) % work.patterns.size()];
    const std::string& subject = work.subjects[static_cast<std::size_t>(i / 3) % work.subjects.size()];
    switch (pattern[0]) {
    case 's': m.MOLV_SUBST(pattern.c_str(), subject.c_str()); return 1;
    case 't': m.MOLV_TRANS(pattern.c_str(), subject.c_str()); return 1;
    case '/': {
        m.MOLV_SPLIT(pattern.c_str(), subject.c_str(), static_cast<int>(i % 5) - 1);
        const std::string first = m.MOLV_GETNEXT();
        m.MOLV_POSTOSTR(first.c_str());
        return 3;
    }
    default: {
        m.MOLV_MATCH(pattern.c_str(), subject.c_str());
        const std::string group = m.MOLV_GETNEXT();
        m.MOLV_POSTOSTR(group.c_str());
        m.MOLV_ERRORMSG();
        return 4;
    }
    }
}

long long Run(HostModule& m, const Work& work, long long calls, long long& counter) {
    long long made = 0;
    while (made < calls) made += Call(m, work, counter++);
    return made;
}

double KiB(long long bytes) { return static_cast<double>(bytes) / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
    const long long calls = argc > 1 ? std::atoll(argv[1]) : 1000000;
    const long long warmUp = argc > 2 ? std::atoll(argv[2]) : 100000;
    const int distinct = argc > 3 ? std::atoi(argv[3]) : 2000;
    HostModule module;
    if (!module.Loaded()) {
        std::fprintf(stderr, "cannot load %s\n", ModuleBesideProgram().c_str());
        return 2;
    }
    HostChecks checks(module);
    const Work work;
    long long counter = 0;

    Run(module, work, warmUp, counter);
    checks.KnownAnswers();
    const long long heapBefore = HeapInUse(), rssBefore = Resident();
    const auto start = std::chrono::steady_clock::now();
    const long long made = Run(module, work, calls, counter);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    checks.KnownAnswers();
    const long long heapAfter = HeapInUse(), rssAfter = Resident();

    for (int key = 0; key < distinct; ++key) checks.DistinctPattern(static_cast<unsigned>(key));
    const long long heapDistinct = HeapInUse(), rssDistinct = Resident();

    std::printf("soak: %lld calls over %zu patterns in %.1f s (%.2f us a call)\n", made, work.patterns.size(),
                seconds, seconds * 1e6 / static_cast<double>(made));
    std::printf("  heap in use: %.1f KiB after warm-up, %.1f KiB after the soak (%+.1f KiB)\n", KiB(heapBefore),
                KiB(heapAfter), KiB(heapAfter - heapBefore));
    std::printf("  resident:    %.1f KiB after warm-up, %.1f KiB after the soak (%+.1f KiB)\n", KiB(rssBefore),
                KiB(rssAfter), KiB(rssAfter - rssBefore));
    std::printf("  %d distinct patterns then: heap %+.1f KiB (%.2f KiB each), resident %+.1f KiB\n", distinct,
                KiB(heapDistinct - heapAfter), KiB(heapDistinct - heapAfter) / (distinct > 0 ? distinct : 1),
                KiB(rssDistinct - rssAfter));

    int failures = checks.failures;
    // The repeated patterns are all compiled during the warm-up: from then on
    // the heap may move by a few reused buffers, never grow with the calls.
    constexpr long long kHeapSlack = 64 * 1024, kResidentSlack = 1024 * 1024;
    if (heapAfter - heapBefore > kHeapSlack) {
        std::fprintf(stderr, "FAIL the heap grew by %.1f KiB over the soak\n", KiB(heapAfter - heapBefore));
        ++failures;
    }
    if (rssAfter - rssBefore > kResidentSlack) {
        std::fprintf(stderr, "FAIL the resident size grew by %.1f KiB over the soak\n", KiB(rssAfter - rssBefore));
        ++failures;
    }
    // The measure itself must see the cache grow when patterns are new.
    if (distinct > 0 && heapDistinct <= heapAfter) {
        std::fprintf(stderr, "FAIL new patterns did not show in the heap: the measure is blind\n");
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
