// The module's life as a host sees it: attach on load, detach on the last
// unload, the inert module when the library cannot be bound, and the
// identities of the texts it hands out.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bregexp.h"
#include "double_control.h"
#include "module_beside_double.h"
#include "process_memory.h"

namespace {

std::size_t CountLines(const std::string& log, const std::string& prefix) {
    std::istringstream lines(log);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);) count += line.rfind(prefix, 0) == 0;
    return count;
}

// What differs from an inert module's answers, one line per difference.
std::string InertDifferences(const ModuleBesideDouble& module) {
    std::ostringstream out;
    auto text = [&](const char* what, const char* expected, const char* actual) {
        if (std::string(expected) != actual) out << what << " gave '" << actual << "'\n";
    };
    auto number = [&](const char* what, int expected, int actual) {
        if (expected != actual) out << what << " gave " << actual << "\n";
    };
    text("MOLV_MOLVWVERSION", MOLV_WRAP_VERSION, module.MOLV_MOLVWVERSION());
    text("MOLV_MATCH", "", module.MOLV_MATCH("/a/", "a"));
    text("MOLV_SUBST", "", module.MOLV_SUBST("s/a/b/", "a"));
    text("MOLV_TRANS", "", module.MOLV_TRANS("tr/a/b/", "a"));
    number("MOLV_SPLIT", -1, module.MOLV_SPLIT("/,/", "a,b", 0));
    text("MOLV_GETNEXT", "", module.MOLV_GETNEXT());
    number("MOLV_HASMORERESULTS", 0, module.MOLV_HASMORERESULTS());
    text("MOLV_POSTOSTR", "", module.MOLV_POSTOSTR("0:1"));
    text("MOLV_ERRORMSG", "", module.MOLV_ERRORMSG());
    text("MOLV_VERSION", "", module.MOLV_VERSION());
    return out.str();
}

// The loader remembers a library by the name it was asked for, and a
// library whose entry point is missing stays loaded; so each variant is
// tried in a process of its own. Windows' loader refuses a module whose
// attach fails; a shared object cannot refuse, and stays loaded but inert.
TEST(ModuleLifecycle, WithoutALibraryTheModuleIsRefusedOrInert) {
#define WITHOUT_ENTRY_POINT(name, role, result, parameters) "without_" #name,
    for (const char* variant : {"none", BREGEXP_ENTRY_POINTS(WITHOUT_ENTRY_POINT)}) {
#undef WITHOUT_ENTRY_POINT
        SCOPED_TRACE(variant);
        EXPECT_EXIT(
            {
                ModuleBesideDouble module(variant);
                const std::string differences =
                    platform::kFailedAttachRefusesLoad
                        ? (module.Loaded() ? "loaded\n" : "")
                        : (module.Loaded() ? InertDifferences(module) : "not loaded\n");
                std::fputs(differences.c_str(), stderr);
                std::exit(differences.empty() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    }
}

TEST(ModuleLifecycle, AttachBindsTheLibraryAndTheLastUnloadRunsDetach) {
    DoubleControl control(DoublePath("full"));
    ASSERT_TRUE(control.Loaded());
    control.Reset();
    {
        ModuleBesideDouble module("full");
        ASSERT_TRUE(module.Loaded());
        module.MOLV_MATCH("/a/", "abc");
        module.MOLV_MATCH("/b/", "abc");
        module.MOLV_MATCH("/a/", "abc");
        EXPECT_EQ(0u, CountLines(control.Log(), "BRegfree"));
    }
    EXPECT_EQ(2u, CountLines(control.Log(), "BRegfree"));
    EXPECT_NE(std::string::npos, control.Log().find("BRegfree #1\nBRegfree #2\n"));

    // A fresh load is a fresh module: nothing cached from before.
    control.Reset();
    ModuleBesideDouble again("full");
    again.MOLV_MATCH("/a/", "abc");
    EXPECT_EQ(1u, CountLines(control.Log(), "BMatch pattern=/a/"));
}

class ModuleTexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(control.Loaded());
        control.Reset();
        ASSERT_TRUE(module.Loaded());
    }
    DoubleControl control{DoublePath("full")};
    ModuleBesideDouble module{"full"};
};

TEST_F(ModuleTexts, ErrorMessageIsEmptyFirstAndHandedOutWithoutCopying) {
    const char* first = module.MOLV_ERRORMSG();
    EXPECT_STREQ("", first);
    EXPECT_EQ(first, module.MOLV_ERRORMSG());
    control.Queue(Answer(-1, "first message"));
    module.MOLV_MATCH("/(/", "x");
    const char* message = module.MOLV_ERRORMSG();
    EXPECT_STREQ("first message", message);
    EXPECT_EQ(message, module.MOLV_ERRORMSG());
    // A split makes no hand-off: the text returned before stays as it was.
    control.Queue(Answer(-1, "second message"));
    EXPECT_EQ(-1, module.MOLV_SPLIT("/)/", "x", 0));
    EXPECT_STREQ("first message", message);
    EXPECT_STREQ("second message", module.MOLV_ERRORMSG());
}

TEST_F(ModuleTexts, VersionIsAskedOnceAndReturnedAtOneAddress) {
    const char* version = module.MOLV_VERSION();
    EXPECT_STREQ("double 1.0", version);
    EXPECT_EQ(version, module.MOLV_VERSION());
    EXPECT_EQ(1u, CountLines(control.Log(), "BRegexpVersion"));
}

TEST_F(ModuleTexts, ModuleVersionLeavesThePreviousTextAlone) {
    control.Queue(WithPairs(Answer(1), {2, 5}));
    const char* match = module.MOLV_MATCH("/cde/", "abcdefg");
    const char* version = module.MOLV_MOLVWVERSION();
    EXPECT_STREQ(MOLV_WRAP_VERSION, version);
    EXPECT_EQ(version, module.MOLV_MOLVWVERSION());
    EXPECT_STREQ("2:3", match);
}

TEST_F(ModuleTexts, NullAndUnreadableTextsCountAsEmpty) {
    int index = 0;
    for (const auto& [name, bad] : BadTextPointers()) {
        SCOPED_TRACE(name);
        ++index;
        control.Reset();
        // A pattern of its own each time, so it is not taken from the cache.
        const std::string substitution = "s/x/" + std::to_string(index) + "/";
        control.Queue(Answer(0));
        module.MOLV_MATCH(bad, bad);
        control.Queue(WithOutput(Answer(0), "t"));
        EXPECT_STREQ("", module.MOLV_SUBST(substitution.c_str(), bad));
        control.Queue(WithOutput(Answer(0), "t"));
        EXPECT_STREQ("t", module.MOLV_TRANS(bad, "x"));
        control.Queue(Answer(0));
        module.MOLV_SPLIT(bad, bad, 3);
        // A subject to cut from, so a position read from the bad text would show.
        control.Queue(WithPairs(Answer(1), {0, 4}));
        module.MOLV_MATCH("/abcd/", "abcd");
        EXPECT_STREQ("", module.MOLV_POSTOSTR(bad));
        EXPECT_EQ(2u, CountLines(control.Log(), "BMatch pattern= subject=0") +
                          CountLines(control.Log(), "BSplit pattern= subject=0"));
        EXPECT_EQ(1u, CountLines(control.Log(), "BSubst pattern=" + substitution + " subject=0"));
        EXPECT_EQ(1u, CountLines(control.Log(), "BTrans pattern= subject=1"));
    }
}

}  // namespace
