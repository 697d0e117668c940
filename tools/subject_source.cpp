#include "subject_source.h"

SubjectSource::SubjectSource(const std::vector<std::string>& subjects, std::istream& input)
    : subjects(subjects), input(input), fromInput(subjects.empty()) {}

bool SubjectSource::Next(std::string& subject) {
    if (fromInput) {
        // getline grows the string as far as the line goes; a last line
        // without a newline still counts.
        if (!std::getline(input, subject)) return false;
    } else {
        if (number >= static_cast<long>(subjects.size())) return false;
        subject = subjects[static_cast<std::size_t>(number)];
    }
    ++number;
    return true;
}

std::string SubjectSource::Where() const {
    return (fromInput ? "line " : "subject ") + std::to_string(number);
}
