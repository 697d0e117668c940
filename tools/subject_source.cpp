#include "subject_source.h"

SubjectSource::SubjectSource(const std::vector<std::string>& subjects, LineReader& lines)
    : subjects(subjects), lines(lines), fromInput(subjects.empty()) {}

bool SubjectSource::Next(std::string_view& subject) {
    if (fromInput) {
        if (!lines.Next(subject)) return false;
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
