// molv's error paths: a bad pattern or subject reported with the library's
// message, a missing module or bregexp.dll named with the folder molv looked
// in, and a malformed command line. Each ends with status 2 and a message.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "molv_runner.h"

namespace {

namespace fs = std::filesystem;

// Status 2, the given parts in the message on standard error, in that order.
::testing::AssertionResult Fails(const MolvRun& run, const std::vector<std::string>& parts) {
    if (run.status != 2) return ::testing::AssertionFailure() << "status " << run.status;
    std::size_t from = 0;
    for (const std::string& part : parts) {
        from = run.err.find(part, from);
        if (from == std::string::npos) {
            return ::testing::AssertionFailure() << "no '" << part << "' in order in: " << run.err;
        }
        from += part.size();
    }
    return ::testing::AssertionSuccess();
}

TEST(MolvFailures, BadPatternsGiveTheLibrarysMessage) {
    struct Row {
        std::vector<std::string> arguments;
        std::string input;
        std::string message;
    } rows[] = {
        {{"match", "m/(/", "x"}, "", "molv: m/(/: missing closing parenthesis"},
        {{"match", "/x/q", "x"}, "", "molv: /x/q: unknown flag 'q'"},
        {{"subst", "s/a/b", "a"}, "", "molv: s/a/b: missing closing delimiter"},
        {{"trans", "tr/a-z/A-Z", "x"}, "", "molv: tr/a-z/A-Z: missing closing delimiter"},
        {{"split", "/[/", "x"}, "", "molv: /[/: missing terminating ]"},
        // Found before any input is read, and even without any.
        {{"match", "m/(/"}, "", "molv: m/(/: missing closing parenthesis"},
        {{"subst", "s/(//"}, "a\nb\n", "molv: s/(//: missing closing parenthesis"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments[1]);
        const MolvRun run = RunMolv(row.arguments, row.input);
        EXPECT_TRUE(Fails(run, {row.message}));
        EXPECT_EQ("", run.out);
    }
}

TEST(MolvFailures, ABadSubjectStopsTheWorkAndNamesItself) {
    // Invalid UTF-8 under the u flag is a failure of that one text.
    const MolvRun lines = RunMolv({"subst", "s/a/b/u"}, "abc\n\xff\nlast a\n");
    EXPECT_TRUE(Fails(lines, {"molv: s/a/b/u: line 2: ", "UTF-8"}));
    EXPECT_EQ("bbc\n", lines.out);

    const MolvRun subjects = RunMolv({"match", "/a/u", "a", "\xfe"});
    EXPECT_TRUE(Fails(subjects, {"molv: /a/u: subject 2: ", "UTF-8"}));
    EXPECT_EQ("0:1 a\n", subjects.out);
}

TEST(MolvFailures, AMissingModuleIsNamedWithTheFolderLookedIn) {
    TempFolder alone;
    const std::string molv = alone.Copy(MOLV_PROGRAM);
    const std::string moduleName = fs::path(MOLV_MODULE).filename().string();
    const MolvRun run = RunProgram(molv, {"match", "/a/", "a"});
    EXPECT_TRUE(Fails(run, {"module not found: " + alone.Path() + "/" + moduleName, "--library"}));
    EXPECT_EQ("", run.out);

    // Given the module's path, the same copy works.
    const MolvRun pointed = RunProgram(molv, {"--library", MOLV_MODULE, "match", "/a/", "a"});
    EXPECT_EQ(0, pointed.status);
    EXPECT_EQ("0:1 a\n", pointed.out);
}

TEST(MolvFailures, AModuleWithoutBregexpIsNamedWithItsFolder) {
    TempFolder folder;
    const std::string molv = folder.Copy(MOLV_PROGRAM);
    folder.Copy(MOLV_MODULE);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"version"}, std::vector<std::string>{"match", "/a/", "a"}}) {
        SCOPED_TRACE(arguments[0]);
        const MolvRun run = RunProgram(molv, arguments);
        EXPECT_TRUE(Fails(run, {"could not load bregexp.dll", "beside it in " + folder.Path()}));
        EXPECT_EQ("", run.out);
    }

    // A file of that name that is no library: named as unusable.
    std::ofstream(folder.Path() + "/bregexp.dll") << "not a library\n";
    EXPECT_TRUE(Fails(RunProgram(molv, {"version"}),
                      {"could not use " + folder.Path() + "/bregexp.dll"}));

    // With our bregexp.dll beside it, it works.
    fs::remove(folder.Path() + "/bregexp.dll");
    folder.Copy(MOLV_BREGEXP);
    const MolvRun working = RunProgram(molv, {"split", "/,/", "a,b"});
    EXPECT_EQ(0, working.status);
    EXPECT_EQ("a\nb\n", working.out);
}

TEST(MolvFailures, LibraryOptionProblemsAreNamed) {
    EXPECT_TRUE(Fails(RunMolv({"--library", "/no/such/module.so", "version"}),
                      {"module not found: /no/such/module.so (given by --library)"}));
    TempFolder folder;
    const std::string text = folder.Path() + "/text.so";
    std::ofstream(text) << "not a library\n";
    EXPECT_TRUE(Fails(RunMolv({"--library", text, "version"}), {"cannot load the module " + text}));
    // A shared library, but not the module.
    EXPECT_TRUE(Fails(RunMolv({"--library", MOLV_BREGEXP, "version"}), {"has no export MOLV_MATCH"}));
    // A folder stands for the module in it.
    const std::string binFolder = fs::path(MOLV_MODULE).parent_path().string();
    EXPECT_EQ(0, RunMolv({"--library", binFolder, "version"}).status);
}

// A full disk: the buffered output fails at its last write with subjects
// given, and at the write before a read when filtering standard input.
TEST(MolvFailures, OutputThatCannotBeWrittenIsAnError) {
    for (const char* command : {"molv match /a/ a >/dev/full", "echo a | molv match /a/ >/dev/full"}) {
        SCOPED_TRACE(command);
        const MolvRun run = RunShellLine(command);   // only the message reaches run.out
        EXPECT_EQ(2, run.status);
        EXPECT_EQ("molv: cannot write the output\n", run.out);
    }
}

TEST(MolvFailures, MalformedCommandLinesShowTheUsage) {
    struct Row {
        std::vector<std::string> arguments;
        std::string message;
    } rows[] = {
        {{}, "missing command"},
        {{"grep", "/a/"}, "unknown command 'grep'"},
        {{"match"}, "match needs a PATTERN"},
        {{"split", "--limit", "two", "/,/", "a"}, "--limit needs a whole number, such as 2 or -1"},
        {{"split", "--limit"}, "--limit needs a whole number, such as 2 or -1"},
        {{"subst", "--positions", "s/a/b/", "a"}, "--positions works with match and split only"},
        {{"match", "--limit", "2", "/a/", "a"}, "--limit works with split only"},
        {{"match", "--colour", "/a/", "a"}, "unknown option '--colour'"},
        {{"--library"}, "--library needs the path of the module"},
        {{"version", "extra"}, "version takes no arguments"},
        {{"help", "grep"}, "help takes one command name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        const MolvRun run = RunMolv(row.arguments);
        EXPECT_TRUE(Fails(run, {"molv: " + row.message + "\n", "usage: molv "}));
        EXPECT_EQ("", run.out);
    }
}

}  // namespace
