// The texts a pattern command works on, one at a time: the subjects given on
// the command line, or else the lines of standard input without their
// newline, each of any length. Where() names the current one in messages.
#pragma once

#include <istream>
#include <string>
#include <vector>

class SubjectSource {
public:
    // With no subjects, lines are read from `input`.
    SubjectSource(const std::vector<std::string>& subjects, std::istream& input);

    // False when the subjects or the lines are used up.
    bool Next(std::string& subject);
    bool FromInput() const { return fromInput; }
    // The 1-based number of the current subject or line.
    long Number() const { return number; }
    std::string Where() const;

private:
    const std::vector<std::string>& subjects;
    std::istream& input;
    bool fromInput;
    long number = 0;
};
