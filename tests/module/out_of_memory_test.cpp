// A failed allocation inside an export: the host gets "" or -1 as for any
// failure, MOLV_ERRORMSG says "out of memory", and the next call works. The
// allocation is made to fail by replacing operator new for this program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "double_control.h"
#include "module/module_objects.h"
#include "molv_wrap.h"

namespace {

bool failNextAllocation = false;

}  // namespace

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

// The module attached as at load, whatever name it asks for: the double.
class AttachedModule : public ::testing::Test {
protected:
    void SetUp() override {
        platform::libraryCalls().load = [](const char*) {
            return platform::systemLibraryCalls().load(DoublePath("full").c_str());
        };
        ASSERT_TRUE(ProcessAttach());
    }
    void TearDown() override {
        ProcessDetach();
        platform::libraryCalls() = platform::systemLibraryCalls();
    }
};

TEST_F(AttachedModule, AFailedAllocationAnswersNothingAndSaysWhy) {
    EXPECT_STREQ("", MOLV_ERRORMSG());   // this thread's state now exists
    failNextAllocation = true;
    EXPECT_STREQ("", MOLV_MATCH("/new/", "a new text"));
    EXPECT_STREQ("out of memory", MOLV_ERRORMSG());

    failNextAllocation = true;
    EXPECT_EQ(-1, MOLV_SPLIT("/other/", "a,b", 0));
    EXPECT_STREQ("out of memory", MOLV_ERRORMSG());

    // Nothing was left half done: the same calls work now.
    EXPECT_STREQ("", MOLV_MATCH("/new/", "a new text"));
    EXPECT_STREQ("", MOLV_ERRORMSG());
    EXPECT_STREQ("x", MOLV_SUBST("s/a/b/", "x"));
}

// The first allocation of a new thread's first call is its state: with none
// made, the call still fails as any other, and the thread learns why.
TEST_F(AttachedModule, AThreadWhoseStateCannotBeMadeIsToldWhyAfterwards) {
    const char* answer = nullptr;
    std::string still, later, cleared;
    std::thread([&] {
        failNextAllocation = true;
        answer = MOLV_MATCH("/a/", "a");
        failNextAllocation = true;   // and the state again, for the question
        still = MOLV_ERRORMSG();
        later = MOLV_ERRORMSG();
        MOLV_MATCH("/a/", "a");   // the next pattern operation
        cleared = MOLV_ERRORMSG();
    }).join();
    EXPECT_STREQ("", answer);
    EXPECT_EQ("out of memory", still);
    EXPECT_EQ("out of memory", later);
    EXPECT_EQ("", cleared);
}

// A thread whose only call could not make its state ends with its slot
// marked: the end frees nothing, and the other threads go on.
TEST_F(AttachedModule, AThreadThatEndsWithoutAStateLeavesTheOthersWorking) {
    EXPECT_STREQ("", MOLV_ERRORMSG());   // this thread's state exists
    const char* answer = nullptr;
    std::thread([&] {
        failNextAllocation = true;
        answer = MOLV_SPLIT("/,/", "a,b", 0) == -1 ? "failed" : "ran";
    }).join();
    EXPECT_STREQ("failed", answer);
    EXPECT_STREQ("", MOLV_ERRORMSG());
    EXPECT_STREQ("x", MOLV_SUBST("s/a/b/", "x"));
}

}  // namespace
