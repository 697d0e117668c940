#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

struct Subject {
    explicit Subject(const std::string& text) : start(text.data()), end(text.data() + text.size()) {}
    const char* start;
    const char* end;
};

std::string Failed(const char* message) { return std::string("failed: ") + message; }

}  // namespace

std::string DescribeBMatch(const std::string& pattern, const std::string& subject) {
    const Subject s(subject);
    bregexp* record = nullptr;
    char message[kMessageBufferSize];
    const int rc = BMatch(pattern.c_str(), s.start, s.end, &record, message);
    std::string text = rc < 0 ? Failed(message) : rc == 0 ? "no" : "yes";
    for (std::intptr_t group = 0; rc > 0 && group <= record->groupCount; ++group) {
        const char* start = record->groupStarts[group];
        text += start == nullptr ? std::string(" -")
                                 : " " + std::to_string(start - s.start) + "-" +
                                       std::to_string(record->groupEnds[group] - s.start);
    }
    if (record != nullptr) BRegfree(record);
    return text;
}

static std::string DescribeOutput(int (*entry)(const char*, const char*, const char*, bregexp**, char*),
                                  const std::string& pattern, const std::string& subject) {
    const Subject s(subject);
    bregexp* record = nullptr;
    char message[kMessageBufferSize];
    const int rc = entry(pattern.c_str(), s.start, s.end, &record, message);
    const std::string text = rc < 0 ? Failed(message) : std::to_string(rc) + ":" + record->outputText;
    if (record != nullptr) BRegfree(record);
    return text;
}

std::string DescribeBSubst(const std::string& pattern, const std::string& subject) {
    return DescribeOutput(BSubst, pattern, subject);
}

std::string DescribeBTrans(const std::string& pattern, const std::string& subject) {
    return DescribeOutput(BTrans, pattern, subject);
}

std::string DescribeBSplit(const std::string& pattern, const std::string& subject, int limit) {
    const Subject s(subject);
    bregexp* record = nullptr;
    char message[kMessageBufferSize];
    const int rc = BSplit(pattern.c_str(), s.start, s.end, limit, &record, message);
    std::string text = rc < 0 ? Failed(message) : std::to_string(rc);
    for (int piece = 0; piece < rc; ++piece) {
        text += "|" + std::string(record->splitPairs[2 * piece], record->splitPairs[2 * piece + 1]);
    }
    if (record != nullptr) BRegfree(record);
    return text;
}

}  // namespace regexlib_test
