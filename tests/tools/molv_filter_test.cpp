// molv as a filter of standard input: inputs far larger than its read and
// write buffers, a line longer than a read block, NUL bytes, output that
// keeps its place before an error message, and a pipe that is answered line
// by line while it is still open.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "molv_runner.h"

namespace {

// "line 1" to "line N", one a line: several megabytes for a large N.
std::string NumberedLines(int count, bool (*keep)(int) = nullptr) {
    std::string lines;
    for (int n = 1; n <= count; ++n) {
        if (keep == nullptr || keep(n)) lines += "line " + std::to_string(n) + "\n";
    }
    return lines;
}

TEST(MolvFilter, WorksLineByLineAcrossAnInputOfManyBlocks) {
    const int count = 300000;
    const std::string input = NumberedLines(count);

    const MolvRun sevens = RunMolv({"match", "/7$/"}, input);
    EXPECT_EQ(0, sevens.status);
    EXPECT_TRUE(sevens.out == NumberedLines(count, [](int n) { return n % 10 == 7; }));

    std::string renamed;
    for (int n = 1; n <= count; ++n) renamed += "L" + std::to_string(n) + "\n";
    const MolvRun subst = RunMolv({"subst", "s/line /L/"}, input);
    EXPECT_EQ(0, subst.status);
    EXPECT_TRUE(subst.out == renamed);

    // The numbers of the lines that match, from the last block too.
    const MolvRun positions = RunMolv({"match", "--positions", "/^line 29999\\d$/"}, input);
    EXPECT_EQ("299990 0:11\n299991 0:11\n299992 0:11\n299993 0:11\n299994 0:11\n299995 0:11\n"
              "299996 0:11\n299997 0:11\n299998 0:11\n299999 0:11\n",
              positions.out);
}

TEST(MolvFilter, TakesALineLongerThanAReadBlockWhole) {
    const std::string line = std::string(3 << 20, 'a') + "needle";
    const MolvRun grep = RunMolv({"match", "/needle$/"}, "short\n" + line);
    EXPECT_EQ(0, grep.status);
    EXPECT_TRUE(grep.out == line + "\n");

    const MolvRun trans = RunMolv({"trans", "tr/a/b/"}, line + "\nend\n");
    EXPECT_TRUE(trans.out == std::string(3 << 20, 'b') + "needle\nend\n");
}

// The module sees a line up to its first NUL byte; the filter still prints
// the line it read, whole.
TEST(MolvFilter, PrintsAMatchingLineWholeWhenANulByteEndsWhatIsMatched) {
    const std::string line("abc\0def", 7);
    const MolvRun grep = RunMolv({"match", "/c$/"}, line + "\nxyz\n");
    EXPECT_EQ(0, grep.status);
    EXPECT_EQ(line + "\n", grep.out);
    EXPECT_EQ(1, RunMolv({"match", "/def/"}, line + "\n").status);
}

TEST(MolvFilter, PrintsWhatCameBeforeAnErrorBeforeItsMessage) {
    const MolvRun run = RunShellLine("printf 'abc\\nxa\\n\\377\\nlast a\\n' | molv subst 's/a/b/u'");
    EXPECT_EQ(0u, run.out.find("bbc\nxb\nmolv: s/a/b/u: line 3: ")) << run.out;
}

// A pipe that stays open, as from `tail -f`: each matching line is printed
// before molv waits for the next. The next line is only written once the
// answer to the first has been read back, so a molv that kept its answer in
// its buffer would wait forever; `timeout` ends such a run.
TEST(MolvFilter, AnswersEachLineOfAnOpenPipeBeforeReadingOn) {
    TempFolder folder;
    std::ofstream(folder.Path() + "/pipe.sh") << R"(cd "$1" || exit 1
mkfifo lines answers
molv match /a/ <lines >answers &
exec 3>lines 4<answers
printf 'a1\nb\n' >&3
read first <&4
printf 'a2\n' >&3
exec 3>&-
read second <&4
wait
echo "$first $second"
)";
    const MolvRun run = RunShellLine("timeout 60 sh '" + folder.Path() + "/pipe.sh' '" + folder.Path() + "'");
    EXPECT_EQ("a1 a2\n", run.out);
}

}  // namespace
