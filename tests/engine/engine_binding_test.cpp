#include "engine/engine_binding.h"

#include <gtest/gtest.h>

#include "binding_fixture.h"

namespace {

// Written out by hand, not taken from bregexp.h's list: the binding must look
// them up in this order whatever that list says.
const std::vector<std::string> kAllEntryPoints = {"BMatch",  "BSubst",   "BTrans",
                                                  "BSplit",  "BRegfree", "BRegexpVersion"};

using EngineBindingTest = BindingTest;

TEST_F(EngineBindingTest, BuildsWithAllSixEntryPointsLookedUpInOrder) {
    auto binding = Bind();
    EXPECT_EQ(kAllEntryPoints, watched.lookups);
    EXPECT_NE(nullptr, binding->library);
#define EXPECT_RESOLVED(name, role, result, parameters) EXPECT_NE(nullptr, binding->name) << #name;
    BREGEXP_ENTRY_POINTS(EXPECT_RESOLVED)
#undef EXPECT_RESOLVED
    // Building calls nothing in the library, not even for its version.
    EXPECT_EQ("", control.Log());
}

TEST_F(EngineBindingTest, AbsentLibraryThrowsBeforeAnyLookup) {
    watched.failLoad = true;
    EXPECT_THROW(Bind(), DllNotFoundError);
    EXPECT_EQ(1, watched.loads);
    EXPECT_TRUE(watched.lookups.empty());
}

TEST_F(EngineBindingTest, EachMissingEntryPointThrowsAfterAllLookupsAndKeepsTheLibrary) {
    for (const std::string& missing : kAllEntryPoints) {
        SCOPED_TRACE(missing);
        watched = WatchedLibraryCalls{};
        EXPECT_THROW(Bind("without_" + missing), DllProcAddressNotFoundError);
        EXPECT_EQ(kAllEntryPoints, watched.lookups);
        EXPECT_EQ(0, watched.releases);
    }
}

TEST_F(EngineBindingTest, VersionTextIsAskedOnceWhileTheLibraryAnswersText) {
    auto binding = Bind();
    EXPECT_STREQ("double 1.0", binding->GetVersionText().GetText());
    EXPECT_STREQ("double 1.0", binding->GetVersionText().GetText());
    EXPECT_EQ(1u, LogLines("BRegexpVersion").size());
}

TEST_F(EngineBindingTest, EmptyOrNullVersionTextIsAskedForAgainEveryTime) {
    auto binding = Bind();
    control.SetVersion("");
    EXPECT_STREQ("", binding->GetVersionText().GetText());
    control.SetVersion(nullptr);
    EXPECT_STREQ("", binding->GetVersionText().GetText());
    control.SetVersion("later 2.0");
    EXPECT_STREQ("later 2.0", binding->GetVersionText().GetText());
    EXPECT_STREQ("later 2.0", binding->GetVersionText().GetText());
    EXPECT_EQ(3u, LogLines("BRegexpVersion").size());
}

TEST_F(EngineBindingTest, TeardownWithNothingCompiledReleasesNothing) {
    Bind().reset();
    EXPECT_EQ(0, watched.releases);
    EXPECT_TRUE(LogLines("BRegfree").empty());
}

}  // namespace
