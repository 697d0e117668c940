// A scriptable, recording stand-in for the outside library "bregexp.dll".
// Tests queue the answers; every call is logged with its arguments as the
// module passed them. Built once whole and once without each entry point.
// The stand-in's entry points are exported as bregexp.h declares them.
#include "platform/platform.h"
#define BREGEXP_EXPORT MOLV_EXPORTED
#include "bregexp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "double_control.h"

namespace {

struct RecordState {
    int id;
    std::vector<char*> starts;
    std::vector<char*> ends;
    std::vector<char*> pairs;
    std::string output;
};

std::deque<DoubleReply> replies;
std::string callLog;
std::string versionText = "double 1.0";
bool versionIsNull = false;
int nextRecordId = 1;

// Also appended to the file named by BREGEXP_DOUBLE_LOG, for hosts in other
// processes; in binary mode, so lines end the same on every system.
void Record(const std::string& line) {
    callLog += line + "\n";
    if (const char* file = std::getenv("BREGEXP_DOUBLE_LOG")) {
        if (FILE* out = std::fopen(file, "ab")) {
            std::fprintf(out, "%s\n", line.c_str());
            std::fclose(out);
        }
    }
}

std::string Describe(const bregexp* record) {
    if (record == nullptr) return "null";
    return "#" + std::to_string(static_cast<RecordState*>(record->libraryData)->id);
}

DoubleReply TakeReply() {
    if (replies.empty()) {
        DoubleReply reply{};
        reply.leaveRecord = 1;
        return reply;
    }
    DoubleReply reply = replies.front();
    replies.pop_front();
    return reply;
}

bregexp* NewRecord() {
    bregexp* record = new bregexp{};
    record->libraryData = new RecordState{nextRecordId++, {}, {}, {}, {}};
    return record;
}

char* At(const char* start, long long offset) {
    return offset < 0 ? nullptr : const_cast<char*>(start) + offset;
}

void Fill(bregexp* record, const DoubleReply& reply, const char* start) {
    RecordState& state = *static_cast<RecordState*>(record->libraryData);
    state.starts.clear();
    state.ends.clear();
    state.pairs.clear();
    for (int pair = 0; pair < reply.pairCount; ++pair) {
        state.starts.push_back(At(start, reply.pairs[2 * pair]));
        state.ends.push_back(At(start, reply.pairs[2 * pair + 1]));
        state.pairs.push_back(state.starts.back());
        state.pairs.push_back(state.ends.back());
    }
    state.output = reply.output != nullptr ? reply.output : "";
    record->groupStarts = state.starts.data();
    record->groupEnds = state.ends.data();
    record->splitPairs = state.pairs.data();
    record->groupCount = reply.pairCount > 0 ? reply.pairCount - 1 : 0;
    record->outputText = &state.output[0];
}

int Answer(const char* name, const char* pattern, const char* start, const char* end,
           const std::string& limit, bregexp** record, char* message) {
    const DoubleReply reply = TakeReply();
    std::string line = std::string(name) + " pattern=" + (pattern ? pattern : "(null)") +
                       " subject=" + std::to_string(end - start) + limit +
                       " record=" + Describe(*record);
    if (*record == nullptr && reply.leaveRecord) *record = NewRecord();
    if (*record != nullptr) Fill(*record, reply, start);
    std::snprintf(message, kMessageBufferSize, "%s", reply.message ? reply.message : "");
    Record(line + " -> " + std::to_string(reply.rc) + " " + Describe(*record));
    return reply.rc;
}

}  // namespace

MOLV_API void DoubleReset() {
    replies.clear();
    callLog.clear();
    nextRecordId = 1;
    versionText = "double 1.0";
    versionIsNull = false;
}

MOLV_API void DoubleQueue(const DoubleReply* reply) { replies.push_back(*reply); }

MOLV_API void DoubleSetVersion(const char* text, int returnNull) {
    versionText = text != nullptr ? text : "";
    versionIsNull = returnNull != 0;
}

MOLV_API const char* DoubleLog() { return callLog.c_str(); }

#ifndef DOUBLE_WITHOUT_BMatch
int BREGEXP_CALL BMatch(const char* pattern, const char* start, const char* end, bregexp** record,
                        char* message) {
    return Answer("BMatch", pattern, start, end, "", record, message);
}
#endif

#ifndef DOUBLE_WITHOUT_BSubst
int BREGEXP_CALL BSubst(const char* pattern, const char* start, const char* end, bregexp** record,
                        char* message) {
    return Answer("BSubst", pattern, start, end, "", record, message);
}
#endif

#ifndef DOUBLE_WITHOUT_BTrans
int BREGEXP_CALL BTrans(const char* pattern, const char* start, const char* end, bregexp** record,
                        char* message) {
    return Answer("BTrans", pattern, start, end, "", record, message);
}
#endif

#ifndef DOUBLE_WITHOUT_BSplit
int BREGEXP_CALL BSplit(const char* pattern, const char* start, const char* end, int limit,
                        bregexp** record, char* message) {
    return Answer("BSplit", pattern, start, end, " limit=" + std::to_string(limit), record,
                  message);
}
#endif

#ifndef DOUBLE_WITHOUT_BRegfree
void BREGEXP_CALL BRegfree(bregexp* record) {
    Record("BRegfree " + Describe(record));
    delete static_cast<RecordState*>(record->libraryData);
    delete record;
}
#endif

#ifndef DOUBLE_WITHOUT_BRegexpVersion
const char* BREGEXP_CALL BRegexpVersion() {
    Record("BRegexpVersion");
    return versionIsNull ? nullptr : versionText.c_str();
}
#endif

BREGEXP_ENTRY_POINTS(BREGEXP_CHECK_DEFINITION)
