#include "example_blocks.h"

#include <sstream>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::vector<Example> MarkdownExamples(const std::string& markdown, const std::string& name) {
    std::vector<Example> examples;
    bool inBlock = false;
    bool inExample = false;  // lines before a block's first "$ " belong to no example
    const std::vector<std::string> lines = Lines(markdown);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string& line = lines[index];
        if (!inBlock) {
            inBlock = line == "```console";
            inExample = false;
            continue;
        }
        if (StartsWith(line, "```")) {
            inBlock = false;
        } else if (StartsWith(line, "$ ")) {
            examples.push_back({name + " line " + std::to_string(index + 1), line.substr(2), ""});
            inExample = true;
        } else if (inExample) {
            examples.back().expected += line + "\n";
        }
    }
    return examples;
}

std::vector<Example> HelpExamples(const std::string& help, const std::string& name) {
    std::vector<Example> examples;
    bool inSection = false;
    for (const std::string& line : Lines(help)) {
        if (!inSection) {
            inSection = line == "Examples:";
            continue;
        }
        if (!StartsWith(line, "  ")) break;
        if (StartsWith(line, "  $ ")) {
            examples.push_back({name, line.substr(4), ""});
        } else if (!examples.empty()) {
            examples.back().expected += line.substr(2) + "\n";
        }
    }
    return examples;
}

std::string FencedBlockAfter(const std::string& markdown, const std::string& heading) {
    enum { kBeforeHeading, kBeforeBlock, kInBlock } state = kBeforeHeading;
    std::string body;
    for (const std::string& line : Lines(markdown)) {
        if (state == kBeforeHeading) {
            if (line == heading) state = kBeforeBlock;
        } else if (state == kBeforeBlock) {
            if (StartsWith(line, "```")) state = kInBlock;
        } else if (StartsWith(line, "```")) {
            return body;
        } else {
            body += line + "\n";
        }
    }
    return "";
}

bool LinesMatch(const std::string& expected, const std::string& actual) {
    const std::vector<std::string> wanted = Lines(expected);
    const std::vector<std::string> got = Lines(actual);
    if (wanted.size() != got.size()) return false;
    const std::string ellipsis = "...";
    for (std::size_t index = 0; index < wanted.size(); ++index) {
        const std::string& line = wanted[index];
        const bool open = line.size() >= ellipsis.size() &&
                          line.compare(line.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0;
        if (open ? !StartsWith(got[index], line.substr(0, line.size() - ellipsis.size()))
                 : got[index] != line) {
            return false;
        }
    }
    return true;
}
