// The four pattern operations. Each forwards one request through the same
// steps and differs only in its entry point and in how it reads the reply.
#include <cstring>

#include "engine/engine_binding.h"
#include "engine/packed_position.h"

EngineBinding::Reply EngineBinding::Forward(Operation operation, TextSpan pattern,
                                            TextSpan subject, std::int32_t limit) {
    bregexp* cached = LookupCompiled(pattern);
    bregexp* record = cached;
    const char* patternText = cached != nullptr ? nullptr : pattern.text;
    // The subject start is taken once; every offset is measured from it.
    const char* start = subject.text;
    const char* end = start + subject.length;

    char message[kMessageBufferSize];
    message[0] = 0;
    const std::int32_t rc =
        CallEntryPoint(operation, patternText, start, end, limit, &record, message);
    // A library that overran or forgot the terminator cannot make us read on.
    message[kMessageBufferSize - 1] = 0;

    KeepMessage(message);
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

void EngineBinding::KeepMessage(const char* message) {
    // Most calls leave no message; an empty errorText then stays as it is.
    if (message[0] == 0 && errorText.GetLength() == 0) return;
    errorText.CopyIn(TextSpan{message, static_cast<std::int32_t>(std::strlen(message))});
}

ResultSet* EngineBinding::NewResults(std::int32_t count) {
    ResultSet* set = results.Get();
    if (count <= 0) {
        results.Replace(nullptr);
        return nullptr;
    }
    if (set == nullptr || set->capacity < count) {
        set = new ResultSet(count);
        results.Replace(set);
    }
    set->Restart(count);
    return set;
}

// Match and split keep their own copy of the subject: the positions they
// leave are cut from it later, whatever the host does with its text. The
// library reads that copy.
// A success that leaves no record (or no arrays) is taken as a failure:
// there is nothing to read the answer from.
std::int32_t EngineBinding::Match(TextSpan pattern, TextSpan subject) {
    lastSubject.CopyIn(subject);
    const Reply reply =
        Forward(Operation::kMatch, pattern, TextSpan{lastSubject.GetText(), subject.length}, 0);
    const bregexp* record = reply.record;
    if (reply.rc <= 0 || record == nullptr || record->groupStarts == nullptr ||
        record->groupEnds == nullptr) {
        NewResults(0);
        return kNoPosition;
    }
    const std::int32_t groupCount =
        record->groupCount > 0 ? static_cast<std::int32_t>(record->groupCount) : 0;
    if (ResultSet* groups = NewResults(groupCount)) {
        for (std::int32_t group = 1; group <= groupCount; ++group) {
            groups->items[group - 1] = PackPosition(reply.subjectStart, record->groupStarts[group],
                                                    record->groupEnds[group]);
        }
    }
    return PackPosition(reply.subjectStart, record->groupStarts[0], record->groupEnds[0]);
}

TextSpan EngineBinding::Substitute(TextSpan pattern, TextSpan subject) {
    workSubject.CopyIn(subject);
    subject.text = workSubject.GetText();
    const Reply reply = Forward(Operation::kSubstitute, pattern, subject, 0);
    if (reply.rc == 0) return subject;
    if (reply.rc > 0 && reply.record != nullptr) return HostText(reply.record->outputText);
    return TextSpan{emptyString.GetText(), 0};
}

TextSpan EngineBinding::Translate(TextSpan pattern, TextSpan subject) {
    workSubject.CopyIn(subject);
    subject.text = workSubject.GetText();
    const Reply reply = Forward(Operation::kTranslate, pattern, subject, 0);
    // Unlike a substitution, a count of 0 still takes the output text.
    if (reply.rc >= 0 && reply.record != nullptr) return HostText(reply.record->outputText);
    return TextSpan{emptyString.GetText(), 0};
}

std::int32_t EngineBinding::Split(TextSpan pattern, TextSpan subject, std::int32_t limit) {
    lastSubject.CopyIn(subject);
    const Reply reply = Forward(Operation::kSplit, pattern,
                                TextSpan{lastSubject.GetText(), subject.length}, limit);
    const bregexp* record = reply.record;
    if (reply.rc <= 0 || record == nullptr || record->splitPairs == nullptr) {
        NewResults(0);
        return -1;
    }
    ResultSet* pieces = NewResults(reply.rc);
    for (std::int32_t piece = 0; piece < reply.rc; ++piece) {
        pieces->items[piece] = PackPosition(reply.subjectStart, record->splitPairs[2 * piece],
                                            record->splitPairs[2 * piece + 1]);
    }
    return reply.rc;
}
