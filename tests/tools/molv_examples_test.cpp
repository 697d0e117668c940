// The example sessions shown to users, run as written: every "$ molv ..."
// of the README's console blocks and of each command's --help must print
// exactly the output written under it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "example_blocks.h"
#include "molv_runner.h"

namespace {

// Wine hands a Windows program its arguments through Unicode and the ANSI
// code page, which do not carry every byte above 0x7F unchanged; standard
// input does. Examples that pass such bytes as arguments are left out there.
bool PassesOnlyAsciiArguments(const std::string& command) {
    for (unsigned char byte : command) {
        if (byte >= 0x80) return false;
    }
    return command.find("$(printf") == std::string::npos;
}

void ExpectExamplesHold(const std::vector<Example>& examples) {
    for (const Example& example : examples) {
        if (MolvIsAnotherBuild() && !PassesOnlyAsciiArguments(example.command)) continue;
        SCOPED_TRACE(example.where + ": $ " + example.command);
        EXPECT_EQ(example.expected, RunShellLine(example.command).out);
    }
}

// The commands the examples use, to tell that every one of them is shown.
std::set<std::string> CommandsShown(const std::vector<Example>& examples) {
    std::set<std::string> commands;
    for (const Example& example : examples) {
        const std::size_t at = example.command.find("molv ");
        if (at == std::string::npos) continue;
        const std::size_t start = at + 5;
        commands.insert(example.command.substr(start, example.command.find(' ', start) - start));
    }
    return commands;
}

TEST(MolvExamples, AreReadFromConsoleBlocksAndHelpSections) {
    const std::string markdown =
        "text\n```sh\n$ not this\n```\n```console\nstray\n$ molv a\none\n\n$ molv b\n```\n$ nor this\n";
    const std::vector<Example> fromMarkdown = MarkdownExamples(markdown, "doc");
    ASSERT_EQ(2u, fromMarkdown.size());
    EXPECT_EQ("molv a", fromMarkdown[0].command);
    EXPECT_EQ("one\n\n", fromMarkdown[0].expected);
    EXPECT_EQ("doc line 7", fromMarkdown[0].where);
    EXPECT_EQ("molv b", fromMarkdown[1].command);
    EXPECT_EQ("", fromMarkdown[1].expected);

    const std::string help = "usage\n  $ not this\nExamples:\n  $ molv a\n    1 x\n  y\n  $ molv b\n\nExit\n";
    const std::vector<Example> fromHelp = HelpExamples(help, "help");
    ASSERT_EQ(2u, fromHelp.size());
    EXPECT_EQ("molv a", fromHelp[0].command);
    EXPECT_EQ("  1 x\ny\n", fromHelp[0].expected);
    EXPECT_EQ("", fromHelp[1].expected);
}

TEST(MolvExamples, LinesMatchWithOpenEndedLines) {
    struct Row {
        const char* expected;
        const char* actual;
        bool match;
    } rows[] = {
        {"a\nb\n", "a\nb\n", true},
        {"a\nb\n", "a\nc\n", false},
        {"a\n", "a\nb\n", false},
        {"path (...\nb\n", "path (/x/y)\nb\n", true},
        {"path (...\n", "other\n", false},
        {"b...\n", "b\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.expected) + " against " + row.actual);
        EXPECT_EQ(row.match, LinesMatch(row.expected, row.actual));
    }
    EXPECT_EQ("in\n", FencedBlockAfter("x\n```\nnot\n```\n## H\ntext\n```text\nin\n```\n", "## H"));
    EXPECT_EQ("", FencedBlockAfter("## H\n", "## H"));
}

// The demo's output, as the README shows it after its heading.
TEST(MolvExamples, TheDemoPrintsWhatTheReadmeShows) {
    const std::string shown = FencedBlockAfter(ReadFile(MOLV_README), "### What the demo prints");
    ASSERT_NE("", shown);
    const MolvRun demo = RunShellLine("sh '" MOLV_DEMO "' '" MOLV_PROGRAM "'");
    EXPECT_EQ(0, demo.status);
    // The demo starts with an empty line before its first heading.
    EXPECT_TRUE(LinesMatch("\n" + shown, demo.out)) << demo.out;
}

TEST(MolvExamples, TheReadmePrintsWhatItSays) {
    const std::vector<Example> examples = MarkdownExamples(ReadFile(MOLV_README), "README.md");
    const std::set<std::string> shown = CommandsShown(examples);
    for (const char* command : {"match", "subst", "trans", "split"}) {
        EXPECT_EQ(1u, shown.count(command)) << "the README shows no example of " << command;
    }
    ExpectExamplesHold(examples);
}

TEST(MolvExamples, EachHelpPrintsWhatItSays) {
    for (const char* command : {"match", "subst", "trans", "split"}) {
        const std::vector<Example> examples =
            HelpExamples(RunMolv({command, "--help"}).out, std::string("molv ") + command + " --help");
        EXPECT_EQ(std::set<std::string>{command}, CommandsShown(examples));
        EXPECT_GE(examples.size(), 2u) << command;
        ExpectExamplesHold(examples);
    }
}

}  // namespace
