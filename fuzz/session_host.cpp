// A long host session for Valgrind's memcheck: load the module (with our
// bregexp.dll beside it), make thousands of mixed calls with distinct and
// repeated patterns, checking the answers, then unload it and check that it
// and the library are gone. Under Valgrind it also asks for a leak check
// before loading and after unloading, and fails unless they count the same
// blocks: the module keeps every compiled pattern until it is unloaded, and
// nothing at all afterwards.
//   molv_session_host [rounds]        (default 2000 rounds, ~14 calls each)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host_checks.h"
#include "host_module.h"

#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#else
#define RUNNING_ON_VALGRIND 0
#define VALGRIND_DO_LEAK_CHECK
#define VALGRIND_COUNT_LEAK_BLOCKS(leaked, dubious, reachable, suppressed)
#endif

namespace {

struct HeapBlocks {
    unsigned long leaked = 0, dubious = 0, reachable = 0, suppressed = 0;
};

HeapBlocks LeakCheck() {
    HeapBlocks blocks;
    if (RUNNING_ON_VALGRIND) {
        VALGRIND_DO_LEAK_CHECK;
        VALGRIND_COUNT_LEAK_BLOCKS(blocks.leaked, blocks.dubious, blocks.reachable, blocks.suppressed);
    }
    return blocks;
}

}  // namespace

int main(int argc, char** argv) {
    const long rounds = argc > 1 ? std::atol(argv[1]) : 2000;
    const std::string modulePath = ModuleBesideProgram();
    int failures = 0;
    // One short load and unload first: the loader and the C library keep a
    // few blocks of their own after the first library is opened (search
    // paths, thread-local slots). The baseline is taken after them.
    {
        HostModule module(modulePath);
        HostChecks checks(module);
        checks.KnownAnswers();
        failures += checks.failures;
    }
    const HeapBlocks before = LeakCheck();
    long calls = 0;
    {
        HostModule module(modulePath);
        if (!module.Loaded()) {
            std::fprintf(stderr, "cannot load %s\n", modulePath.c_str());
            return 2;
        }
        HostChecks checks(module);
        for (long round = 0; round < rounds; ++round) {
            if (round % 50 == 0) {
                checks.KnownAnswers();
                calls += 33;
            }
            // A few hundred patterns come back again and again; one in four
            // rounds brings a pattern never seen before.
            checks.DistinctPattern(static_cast<unsigned>(round % 300));
            if (round % 4 == 0) checks.DistinctPattern(static_cast<unsigned>(100000 + round));
            const std::string subject = "r" + std::to_string(round) + ":a,b;c d";
            const std::string text = subject;
            checks.Expect("split", module.MOLV_SPLIT("/[,; ]/", subject.c_str(), -1), 4);
            checks.Walk();
            module.MOLV_SUBST(("s/" + std::to_string(round % 7) + "/<&>/g").c_str(), text.c_str());
            module.MOLV_TRANS("tr/a-d/A-D/", text.c_str());
            // An empty pattern is compiled at every call and never cached.
            module.MOLV_MATCH("", text.c_str());
            module.MOLV_ERRORMSG();
            calls += 13;
        }
        failures += checks.failures;
        module.Unload();
        if (HostModule::IsMapped(modulePath)) {
            std::fprintf(stderr, "FAIL the module is still mapped after its last unload\n");
            ++failures;
        }
        if (HostModule::IsMapped(modulePath.substr(0, modulePath.rfind('/') + 1) + "bregexp.dll")) {
            std::fprintf(stderr, "FAIL bregexp.dll is still mapped after the module unloaded\n");
            ++failures;
        }
    }
    const HeapBlocks after = LeakCheck();
    std::printf("session: %ld rounds, about %ld calls, %d failed checks\n", rounds, calls, failures);
    if (RUNNING_ON_VALGRIND) {
        std::printf("heap blocks before load: %lu reachable, %lu leaked, %lu dubious\n", before.reachable,
                    before.leaked, before.dubious);
        std::printf("heap blocks after unload: %lu reachable, %lu leaked, %lu dubious\n", after.reachable,
                    after.leaked, after.dubious);
        if (after.reachable > before.reachable || after.leaked > before.leaked || after.dubious > before.dubious) {
            std::fprintf(stderr, "FAIL blocks remain after the module was unloaded\n");
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
