// The example sessions written into the README and into molv's help: a
// command line after "$ ", then the output it prints, line by line.
#pragma once

#include <string>
#include <vector>

struct Example {
    std::string where;     // where the example is written, for failure messages
    std::string command;   // the shell command line, without "$ "
    std::string expected;  // the output, each line ending in a newline
};

// Fenced ```console blocks of a Markdown text: each "$ " line starts an
// example, and the lines up to the next "$ " line or the fence are its output.
std::vector<Example> MarkdownExamples(const std::string& markdown, const std::string& name);

// The "Examples:" section of a help text: each "  $ " line starts an example
// and the lines indented by two spaces after it are its output, the indent
// removed. The section ends at the first line not indented.
std::vector<Example> HelpExamples(const std::string& help, const std::string& name);

// The body of the first fenced block after the line `heading`, or "".
std::string FencedBlockAfter(const std::string& markdown, const std::string& heading);

// Whether `actual` has the lines of `expected`, where an expected line ending
// in "..." stands for any line that starts with the text before it.
bool LinesMatch(const std::string& expected, const std::string& actual);
