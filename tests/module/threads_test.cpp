// The module with several host threads at once, loaded with our bregexp.dll
// as a host loads it: every thread gets its own answers through every
// export, and threads that come and go leave no memory behind.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host_module.h"
#include "process_memory.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MOLV_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(MOLV_UNDER_ADDRESS_SANITIZER)
#define MOLV_UNDER_ADDRESS_SANITIZER 1
#endif

namespace {

// The module beside our bregexp.dll, loaded as the hardening hosts load it.
bool Ready(const HostModule& m) { return m.Loaded() && m.MOLV_VERSION()[0] != 0; }

// One thread's round through every export, with texts of its own; answers
// how many of them differed from what this thread asked for.
int Round(const HostModule& m, int thread, int round) {
    int wrong = 0;
    auto expect = [&](const std::string& got, const std::string& wanted) { wrong += got == wanted ? 0 : 1; };
    const std::string id = std::to_string(thread) + "x" + std::to_string(round % 97);
    const std::string subject = "key " + id + "=" + std::to_string(round);
    const std::string pattern = "/(" + id + ")=(\\d+)/";

    const std::string whole = m.MOLV_MATCH(pattern.c_str(), subject.c_str());
    expect(whole, "4:" + std::to_string(id.size() + 1 + std::to_string(round).size()));
    expect(m.MOLV_POSTOSTR(whole.c_str()), id + "=" + std::to_string(round));
    expect(std::to_string(m.MOLV_HASMORERESULTS()), "1");
    const std::string first = m.MOLV_GETNEXT();
    expect(m.MOLV_POSTOSTR(first.c_str()), id);
    const std::string second = m.MOLV_GETNEXT();
    expect(m.MOLV_POSTOSTR(second.c_str()), std::to_string(round));
    expect(std::to_string(m.MOLV_HASMORERESULTS()), "0");

    expect(m.MOLV_SUBST(("s/" + id + "/<$&>/").c_str(), subject.c_str()),
           "key <" + id + ">=" + std::to_string(round));
    std::string shouted = subject;
    for (char& c : shouted) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    expect(m.MOLV_TRANS("tr/a-z/A-Z/", subject.c_str()), shouted);
    expect(std::to_string(m.MOLV_SPLIT("/[ =]/", subject.c_str(), 0)), "3");
    std::string pieces;
    while (m.MOLV_HASMORERESULTS() != 0) {
        const std::string piece = m.MOLV_GETNEXT();
        pieces += std::string(m.MOLV_POSTOSTR(piece.c_str())) + "|";
    }
    expect(pieces, "key|" + id + "|" + std::to_string(round) + "|");

    // A failure of this thread's own: its message, not another thread's.
    expect(m.MOLV_MATCH(("m/(" + id).c_str(), subject.c_str()), "");
    expect(std::string(m.MOLV_ERRORMSG()).empty() ? "no message" : "message", "message");
    expect(m.MOLV_MATCH("/key/", subject.c_str()), "0:3");
    expect(m.MOLV_ERRORMSG(), "");
    return wrong;
}

TEST(ModuleThreads, EachThreadGetsItsOwnAnswersThroughEveryExport) {
    HostModule m(MOLV_MODULE_PATH);
    ASSERT_TRUE(Ready(m));
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread) {
        threads.emplace_back([&, thread] {
            for (int round = 0; round < 1500; ++round) wrong += Round(m, thread, round);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, wrong.load());
}

// One thread floods the module with more distinct patterns than it holds,
// so it keeps handing records back, while the others use one shared pattern
// at full speed: every answer stays right on every thread.
TEST(ModuleThreads, EvictionUnderContentionLeavesEveryAnswerRight) {
    HostModule m(MOLV_MODULE_PATH);
    ASSERT_TRUE(Ready(m));
    std::atomic<int> wrong{0};
    std::atomic<bool> flooding{true};
    std::thread flooder([&] {
        for (int n = 0; n < 6000; ++n) {
            const std::string pattern = "/k" + std::to_string(n) + "=(\\d+)/";
            const std::string subject = "a k" + std::to_string(n) + "=42";
            const std::string whole = m.MOLV_MATCH(pattern.c_str(), subject.c_str());
            const std::string group = m.MOLV_GETNEXT();
            wrong += whole == "2:" + std::to_string(subject.size() - 2) && group == std::to_string(subject.size() - 2) + ":2" ? 0 : 1;
        }
        flooding = false;
    });
    std::vector<std::thread> users;
    for (int thread = 0; thread < 3; ++thread) {
        users.emplace_back([&] {
            do {
                wrong += std::string(m.MOLV_MATCH("/(\\d+)-(\\d+)/", "call 12-345 now")) == "5:6" ? 0 : 1;
                wrong += std::string(m.MOLV_POSTOSTR(m.MOLV_GETNEXT())) == "12" ? 0 : 1;
            } while (flooding);
        });
    }
    flooder.join();
    for (std::thread& user : users) user.join();
    EXPECT_EQ(0, wrong.load());
}

// Each thread leaves a 64 KiB subject in its state: thousands of threads
// that kept theirs would hold hundreds of MiB.
TEST(ModuleThreads, ThreadsThatEndLeaveNoMemoryBehind) {
#ifdef MOLV_UNDER_ADDRESS_SANITIZER
    GTEST_SKIP() << "AddressSanitizer keeps freed memory resident in its quarantine";
#endif
    HostModule m(MOLV_MODULE_PATH);
    ASSERT_TRUE(Ready(m));
    const std::string subject(64 * 1024, 'a');
    auto shortLived = [&] {
        for (int batch = 0; batch < 250; ++batch) {
            std::vector<std::thread> threads;
            for (int i = 0; i < 8; ++i) {
                threads.emplace_back([&] { m.MOLV_MATCH("/a$/", subject.c_str()); });
            }
            for (std::thread& thread : threads) thread.join();
        }
    };
    shortLived();   // the allocator's arenas settle
    const std::size_t before = ResidentBytes();
    ASSERT_NE(0u, before);
    shortLived();
    const std::size_t after = ResidentBytes();
    EXPECT_LT(after, before + 32 * 1024 * 1024) << "2,000 threads grew the process from " << before
                                                 << " to " << after << " bytes";
}

// A host may unload the module while a thread that called it still runs
// (a pool thread, a plugin host): that thread ends later without reaching
// into code that is gone.
TEST(ModuleThreads, AThreadMayOutliveTheModuleItCalled) {
    auto m = std::make_unique<HostModule>(MOLV_MODULE_PATH);
    ASSERT_TRUE(Ready(*m));
    std::promise<void> called, unloaded;
    std::future<void> hasCalled = called.get_future();
    std::future<void> isUnloaded = unloaded.get_future();
    std::thread worker([&] {
        m->MOLV_MATCH("/a/", "a");   // the thread's state now exists
        called.set_value();
        isUnloaded.wait();
    });
    hasCalled.wait();
    // Mapped while loaded, so that "not mapped" below is the loader's word.
    EXPECT_TRUE(HostModule::IsMapped(MOLV_MODULE_PATH));
    m.reset();
    EXPECT_FALSE(HostModule::IsMapped(MOLV_MODULE_PATH));
    unloaded.set_value();
    worker.join();   // the thread ends here, after its module
}

}  // namespace
