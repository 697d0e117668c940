#include "entry_point_calls.h"

namespace regexlib_test {
namespace {

struct Subject {
    explicit Subject(const std::string& text) : start(text.data()), end(text.data() + text.size()) {}
    const char* start;
    const char* end;
};

std::string Failed(const char* message) { return std::string("failed: ") + message; }

using OutputEntry = int (*)(const char*, const char*, const char*, bregexp**, char*);

std::string DescribeOutputOn(OutputEntry entry, bregexp** record, const char* pattern,
                             const std::string& subject) {
    const Subject s(subject);
    char message[kMessageBufferSize];
    const int rc = entry(pattern, s.start, s.end, record, message);
    return rc < 0 ? Failed(message) : std::to_string(rc) + ":" + (*record)->outputText;
}

// Runs `describe` on a record of its own, freed after.
template <typename Describe>
std::string OnOwnRecord(Describe describe) {
    bregexp* record = nullptr;
    const std::string text = describe(&record);
    if (record != nullptr) BRegfree(record);
    return text;
}

}  // namespace

std::string DescribeBMatchOn(bregexp** record, const char* pattern, const std::string& subject) {
    const Subject s(subject);
    char message[kMessageBufferSize];
    const int rc = BMatch(pattern, s.start, s.end, record, message);
    std::string text = rc < 0 ? Failed(message) : rc == 0 ? "no" : "yes";
    for (std::intptr_t group = 0; rc > 0 && group <= (*record)->groupCount; ++group) {
        const char* start = (*record)->groupStarts[group];
        text += start == nullptr ? std::string(" -")
                                 : " " + std::to_string(start - s.start) + "-" +
                                       std::to_string((*record)->groupEnds[group] - s.start);
    }
    return text;
}

std::string DescribeBSubstOn(bregexp** record, const char* pattern, const std::string& subject) {
    return DescribeOutputOn(BSubst, record, pattern, subject);
}

std::string DescribeBTransOn(bregexp** record, const char* pattern, const std::string& subject) {
    return DescribeOutputOn(BTrans, record, pattern, subject);
}

std::string DescribeBSplitOn(bregexp** record, const char* pattern, const std::string& subject, int limit) {
    const Subject s(subject);
    char message[kMessageBufferSize];
    const int rc = BSplit(pattern, s.start, s.end, limit, record, message);
    std::string text = rc < 0 ? Failed(message) : std::to_string(rc);
    for (int piece = 0; piece < rc; ++piece) {
        text += "|" + std::string((*record)->splitPairs[2 * piece], (*record)->splitPairs[2 * piece + 1]);
    }
    return text;
}

std::string DescribeBMatch(const std::string& pattern, const std::string& subject) {
    return OnOwnRecord([&](bregexp** record) { return DescribeBMatchOn(record, pattern.c_str(), subject); });
}

std::string DescribeBSubst(const std::string& pattern, const std::string& subject) {
    return OnOwnRecord([&](bregexp** record) { return DescribeBSubstOn(record, pattern.c_str(), subject); });
}

std::string DescribeBTrans(const std::string& pattern, const std::string& subject) {
    return OnOwnRecord([&](bregexp** record) { return DescribeBTransOn(record, pattern.c_str(), subject); });
}

std::string DescribeBSplit(const std::string& pattern, const std::string& subject, int limit) {
    return OnOwnRecord(
        [&](bregexp** record) { return DescribeBSplitOn(record, pattern.c_str(), subject, limit); });
}

}  // namespace regexlib_test
