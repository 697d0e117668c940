// The texts a pattern command works on, one at a time: the subjects given on
// the command line, or else the lines of standard input without their
// newline, each of any length. Where() names the current one in messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "line_reader.h"

class SubjectSource {
public:
    // With no subjects, the lines come from `lines`.
    SubjectSource(const std::vector<std::string>& subjects, LineReader& lines);

    // False when the subjects or the lines are used up. The text stays valid
    // until the next call.
    bool Next(std::string_view& subject);
    bool FromInput() const { return fromInput; }
    // The 1-based number of the current subject or line.
    long Number() const { return number; }
    std::string Where() const;

private:
    const std::vector<std::string>& subjects;
    LineReader& lines;
    bool fromInput;
    long number = 0;
};
