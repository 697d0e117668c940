// The four pattern operations. Each forwards one request through the same
// steps and differs only in its entry point and in how it reads the reply.
#include "engine/engine_binding.h"
#include "engine/packed_position.h"

EngineBinding::Reply EngineBinding::Forward(Operation operation, StringBuffer& pattern,
                                            StringBuffer& subject, std::int32_t limit) {
    bregexp* cached = LookupCompiled(pattern);
    bregexp* record = cached;
    const char* patternText = cached != nullptr ? nullptr : pattern.GetText();
    // The subject start is taken once; every offset is measured from it.
    const char* start = subject.GetText();
    const char* end = start + subject.GetLength();

    char message[kMessageBufferSize];
    message[0] = 0;
    const std::int32_t rc =
        CallEntryPoint(operation, patternText, start, end, limit, &record, message);
    // A library that overran or forgot the terminator cannot make us read on.
    message[kMessageBufferSize - 1] = 0;

    errorText.Assign(message, 0, -1);
    if (operation == Operation::kMatch || operation == Operation::kSplit) lastSubject = subject;
    RegisterCompiled(pattern, cached, record);
    return Reply{record, start, rc};
}

std::int32_t EngineBinding::CallEntryPoint(Operation operation, const char* pattern,
                                           const char* start, const char* end,
                                           std::int32_t limit, bregexp** record,
                                           char* message) {
    switch (operation) {
    case Operation::kMatch: return BMatch(pattern, start, end, record, message);
    case Operation::kSubstitute: return BSubst(pattern, start, end, record, message);
    case Operation::kTranslate: return BTrans(pattern, start, end, record, message);
    case Operation::kSplit: return BSplit(pattern, start, end, limit, record, message);
    }
    return -1;
}

// A success that leaves no record (or no arrays) is taken as a failure:
// there is nothing to read the answer from.
std::int32_t EngineBinding::Match(StringBuffer& pattern, StringBuffer& subject) {
    const Reply reply = Forward(Operation::kMatch, pattern, subject, 0);
    const bregexp* record = reply.record;
    std::int32_t result = kNoPosition;
    ResultSet* groups = nullptr;
    if (reply.rc > 0 && record != nullptr && record->groupStarts != nullptr &&
        record->groupEnds != nullptr) {
        result = PackPosition(reply.subjectStart, record->groupStarts[0], record->groupEnds[0]);
        if (record->groupCount >= 1) {
            groups = new ResultSet(static_cast<std::int32_t>(record->groupCount));
            for (std::int32_t group = 1; group <= groups->count; ++group) {
                groups->items[group - 1] = PackPosition(
                    reply.subjectStart, record->groupStarts[group], record->groupEnds[group]);
            }
        }
    }
    results.Replace(groups);
    return result;
}

StringBuffer EngineBinding::Substitute(StringBuffer& pattern, StringBuffer& subject) {
    const Reply reply = Forward(Operation::kSubstitute, pattern, subject, 0);
    if (reply.rc == 0) return subject;
    if (reply.rc > 0 && reply.record != nullptr) return StringBuffer(reply.record->outputText);
    return emptyString;
}

StringBuffer EngineBinding::Translate(StringBuffer& pattern, StringBuffer& subject) {
    const Reply reply = Forward(Operation::kTranslate, pattern, subject, 0);
    // Unlike a substitution, a count of 0 still takes the output text.
    if (reply.rc >= 0 && reply.record != nullptr) return StringBuffer(reply.record->outputText);
    return emptyString;
}

std::int32_t EngineBinding::Split(StringBuffer& pattern, StringBuffer& subject,
                                  std::int32_t limit) {
    const Reply reply = Forward(Operation::kSplit, pattern, subject, limit);
    const bregexp* record = reply.record;
    std::int32_t result = -1;
    ResultSet* pieces = nullptr;
    if (reply.rc > 0 && record != nullptr && record->splitPairs != nullptr) {
        result = reply.rc;
        pieces = new ResultSet(reply.rc);
        for (std::int32_t piece = 0; piece < reply.rc; ++piece) {
            pieces->items[piece] = PackPosition(reply.subjectStart, record->splitPairs[2 * piece],
                                                record->splitPairs[2 * piece + 1]);
        }
    }
    results.Replace(pieces);
    return result;
}
