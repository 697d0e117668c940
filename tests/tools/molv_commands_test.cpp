// The four pattern commands and version, run as a user runs them: on subjects
// given as arguments and on standard input, checking what molv prints and
// the exit status it ends with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "molv_runner.h"
#include "molv_wrap_version.h"

namespace {

struct Row {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;  // standard input; used when no subject is given
    int status;
    std::string out;
};

void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const MolvRun run = RunMolv(row.arguments, row.input);
        EXPECT_EQ(row.out, run.out);
        EXPECT_EQ(row.status, run.status);
        EXPECT_EQ("", run.err);
    }
}

TEST(MolvMatch, PrintsTheMatchAndEachGroupForEverySubject) {
    ExpectRows({
        {"groups", {"match", "/(\\w+)@(\\w+)\\.org/", "mail alice@example.org today"}, "", 0,
         "5:17 alice@example.org\n  1 5:5 alice\n  2 11:7 example\n"},
        {"no groups", {"match", "/b+/", "abbbc"}, "", 0, "1:3 bbb\n"},
        {"one of two subjects matches", {"match", "/b/", "abc", "xyz"}, "", 0, "1:1 b\nno match\n"},
        {"no subject matches", {"match", "/q/", "abc", "xyz"}, "", 1, "no match\nno match\n"},
        {"a group that took no part", {"match", "/(a)|(b)/", "xb"}, "", 0, "1:1 b\n  1 -\n  2 1:1 b\n"},
        {"an empty match has no text", {"match", "/x*/", "abc"}, "", 0, "0:0\n"},
        {"flags reach the library", {"match", "m{(B)}i", "abc"}, "", 0, "1:1 b\n  1 1:1 b\n"},
        {"positions are in bytes", {"match", "/(é)/u", "café!"}, "", 0, "3:2 é\n  1 3:2 é\n"},
        {"a subject may start with a dash", {"match", "/-x/", "-x-"}, "", 0, "0:2 -x\n"},
        {"-- ends the options", {"match", "--", "/b/", "--abc"}, "", 0, "3:1 b\n"},
        {"positions only, one line a subject", {"match", "--positions", "/(a)(b)?/", "xa", "zz", "ab"},
         "", 0, "1:1 1:1 -\n\n0:2 0:1 1:1\n"},
    });
}

TEST(MolvMatch, FiltersStandardInputLikeGrep) {
    ExpectRows({
        {"matching lines", {"match", "/^t/"}, "one\ntwo\nthree\n", 0, "two\nthree\n"},
        {"no line matches", {"match", "/^q/"}, "one\ntwo\n", 1, ""},
        {"no input at all", {"match", "/x/"}, "", 1, ""},
        {"a last line without newline", {"match", "/b/"}, "a\nab", 0, "ab\n"},
        {"empty lines", {"match", "/^$/"}, "a\n\nb\n", 0, "\n"},
        {"line numbers and positions", {"match", "--positions", "/(o)(x)?/"}, "one\nsky\ntwo\n", 0,
         "1 0:1 0:1 -\n3 2:1 2:1 -\n"},
    });
}

TEST(MolvSubst, PrintsEachResult) {
    ExpectRows({
        {"groups in the replacement", {"subst", "s/(\\w+)@(\\w+)/$2 at $1/", "mail alice@example today"},
         "", 0, "mail example at alice today\n"},
        {"global", {"subst", "s/o/0/g", "foo boo"}, "", 0, "f00 b00\n"},
        {"first only", {"subst", "s/o/0/", "foo boo"}, "", 0, "f0o boo\n"},
        {"an unchanged subject is printed", {"subst", "s/o/0/", "xyz", "oh"}, "", 0, "xyz\n0h\n"},
        {"nothing matched", {"subst", "s/q/Q/", "abc"}, "", 1, "abc\n"},
        {"a match that changes nothing", {"subst", "s/(a)/$1/", "cat"}, "", 0, "cat\n"},
        {"an empty result", {"subst", "s/.*//", "abc"}, "", 0, "\n"},
        {"a newline in the replacement", {"subst", "s/,/\\n/g", "a,b"}, "", 0, "a\nb\n"},
        {"bracketing delimiters", {"subst", "s{(\\d+)}{<$1>}g", "12 and 3"}, "", 0, "<12> and <3>\n"},
    });
}

TEST(MolvSubst, FiltersStandardInputLikeSed) {
    ExpectRows({
        {"every line printed", {"subst", "s/-/+/g"}, "a-b-c\nxyz\n-\n", 0, "a+b+c\nxyz\n+\n"},
        {"no line changed", {"subst", "s/q/Q/"}, "abc\ndef\n", 1, "abc\ndef\n"},
        {"a later line matches", {"subst", "s/(e)/$1/"}, "abc\ndef\n", 0, "abc\ndef\n"},
    });
}

TEST(MolvTrans, PrintsEachTranslation) {
    ExpectRows({
        {"ranges", {"trans", "tr/a-z/A-Z/", "hello, world"}, "", 0, "HELLO, WORLD\n"},
        {"y is tr", {"trans", "y/abc/xyz/", "aabbcc"}, "", 0, "xxyyzz\n"},
        {"squeeze", {"trans", "tr/a-z//s", "bookkeeper"}, "", 0, "bokeper\n"},
        {"complement and delete", {"trans", "tr/0-9//cd", "tel: +49 (30) 1234"}, "", 0, "49301234\n"},
        {"everything deleted", {"trans", "tr/a-z//d", "abc"}, "", 0, "\n"},
        {"nothing changed", {"trans", "tr/a-z/A-Z/", "123", "!"}, "", 1, "123\n!\n"},
        {"standard input", {"trans", "tr/a-c/A-C/"}, "abc\nxyz\ncab\n", 0, "ABC\nxyz\nCAB\n"},
    });
}

TEST(MolvSplit, PrintsThePiecesOneALine) {
    ExpectRows({
        {"around blanks", {"split", "/\\s*,\\s*/", "red, green ,blue"}, "", 0, "red\ngreen\nblue\n"},
        {"trailing empty pieces dropped", {"split", "/,/", "a,b,,,"}, "", 0, "a\nb\n"},
        {"negative limit keeps them", {"split", "--limit", "-1", "/,/", "a,b,,"}, "", 0, "a\nb\n\n\n"},
        {"limit of two", {"split", "--limit=2", "/:/", "key:value:more"}, "", 0, "key\nvalue:more\n"},
        {"a leading empty piece", {"split", "/,/", ",a"}, "", 0, "\na\n"},
        {"groups add pieces", {"split", "/(,)/", "a,b"}, "", 0, "a\n,\nb\n"},
        {"no separator: one piece", {"split", "/,/", "abc"}, "", 0, "abc\n"},
        {"positions", {"split", "--positions", "/,/", "a,bc,def"}, "", 0, "0:1\n2:2\n5:3\n"},
        {"an empty subject has no pieces", {"split", "/,/", ""}, "", 1, ""},
        {"standard input, line after line", {"split", "/ /"}, "a b\n\nc\n", 0, "a\nb\nc\n"},
    });
}

TEST(MolvVersion, NamesTheModuleAndTheLibrary) {
    const MolvRun run = RunMolv({"version"});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("", run.err);
    const std::string moduleLine = std::string("module:  MOLV_Wrap " MOLV_WRAP_VERSION " (") + MOLV_MODULE + ")\n";
    EXPECT_EQ(0u, run.out.find(moduleLine)) << run.out;
    EXPECT_EQ(moduleLine.size(), run.out.find("library: bregexp.dll ")) << run.out;
    EXPECT_EQ('\n', run.out.back());
}

TEST(MolvHelp, EveryCommandHasHelpThatNamesTheSixteenBitLimit) {
    for (const char* command : {"match", "subst", "trans", "split", "version"}) {
        SCOPED_TRACE(command);
        const MolvRun asOption = RunMolv({command, "--help"});
        EXPECT_EQ(0, asOption.status);
        EXPECT_EQ(0u, asOption.out.find(std::string("usage: molv ") + command));
        EXPECT_NE(std::string::npos, asOption.out.find("65536"));
        EXPECT_EQ(asOption.out, RunMolv({"help", command}).out);
    }
    const MolvRun overview = RunMolv({"--help"});
    EXPECT_EQ(0, overview.status);
    EXPECT_NE(std::string::npos, overview.out.find("Commands:"));
    EXPECT_EQ(overview.out, RunMolv({"help"}).out);
}

// Lines longer than 65535 bytes work; only the positions wrap, as the help
// says: 70000 is reported as 4464.
TEST(MolvLongLines, WorkWholeAndReportPositionsModulo65536) {
    const std::string line = std::string(70000, 'a') + "needle" + std::string(30000, 'b');
    const std::string input = line + "\nshort\n";

    const MolvRun grep = RunMolv({"match", "/needle/"}, input);
    EXPECT_EQ(0, grep.status);
    EXPECT_EQ(line + "\n", grep.out);

    const MolvRun positions = RunMolv({"match", "--positions", "/needle/"}, input);
    EXPECT_EQ("1 4464:6\n", positions.out);

    const MolvRun subst = RunMolv({"subst", "s/needle/N/"}, input);
    EXPECT_EQ(std::string(70000, 'a') + "N" + std::string(30000, 'b') + "\nshort\n", subst.out);

    const MolvRun trans = RunMolv({"trans", "tr/ab/xy/"}, input);
    EXPECT_EQ(std::string(70000, 'x') + "needle" + std::string(30000, 'y') + "\nshort\n", trans.out);

    const MolvRun split = RunMolv({"split", "--positions", "/needle/"}, input);
    EXPECT_EQ("0:4464\n4470:30000\n0:5\n", split.out);
}

}  // namespace
