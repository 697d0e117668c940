// The four pattern operations. Each forwards one request through the same
// steps and differs only in its entry point and in how it reads the reply.
// The record is the calling thread's own, so nobody else's call can
// overwrite its reply before it has been read out: no lock is needed.
#include <cstring>

#include "engine/engine_binding.h"
#include "engine/packed_position.h"

namespace {

// The thread's own copy of a subject, refilled in the block of `copy`.
TextSpan CopyOf(StringBuffer& copy, TextSpan subject) {
    copy.CopyIn(subject);
    return TextSpan{copy.GetText(), subject.length};
}

}  // namespace

EngineBinding::Reply EngineBinding::Forward(ThreadState& thread, Operation operation,
                                            TextSpan pattern, TextSpan subject,
                                            std::int32_t limit) {
    // An empty pattern is never found, so it is compiled at every call.
    bregexp* cached = thread.patternCache.Lookup({pattern.text, static_cast<std::size_t>(pattern.length)});
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

    // A new record is registered before anything else can fail (keeping the
    // message may allocate): from then on the cache holds it.
    RegisterCompiled(thread, pattern, cached, record);
    KeepMessage(thread, message);
    return Reply{record, start, rc};
}

void EngineBinding::KeepMessage(ThreadState& thread, const char* message) {
    // Most calls leave no message; an empty errorText then stays as it is.
    if (message[0] == 0 && thread.errorText.GetLength() == 0) return;
    thread.errorText.CopyIn(TextSpan{message, static_cast<std::int32_t>(std::strlen(message))});
}

ResultSet* EngineBinding::NewResults(ThreadState& thread, std::int32_t count) {
    ResultSet* set = thread.results.Get();
    if (count <= 0 || set == nullptr || set->capacity < count) {
        // The old set goes first: a failed allocation leaves none to walk.
        thread.results.Replace(nullptr);
        if (count <= 0) return nullptr;
        set = new ResultSet(count);
        thread.results.Replace(set);
    }
    set->Restart(count);
    return set;
}

// Match and split keep the thread's own copy of the subject: the positions
// they leave are cut from it later, whatever the host does with its text.
// The library reads that copy. A success that leaves no record (or no
// arrays) is taken as a failure: there is nothing to read the answer from.
std::int32_t EngineBinding::Match(ThreadState& thread, TextSpan pattern, TextSpan subject) {
    const TextSpan copy = CopyOf(thread.lastSubject, subject);
    const Reply reply = Forward(thread, Operation::kMatch, pattern, copy, 0);
    const bregexp* record = reply.record;
    if (reply.rc <= 0 || record == nullptr || record->groupStarts == nullptr ||
        record->groupEnds == nullptr) {
        NewResults(thread, 0);
        return kNoPosition;
    }
    const std::int32_t groupCount =
        record->groupCount > 0 ? static_cast<std::int32_t>(record->groupCount) : 0;
    if (ResultSet* groups = NewResults(thread, groupCount)) {
        for (std::int32_t group = 1; group <= groupCount; ++group) {
            groups->items[group - 1] = PackPosition(reply.subjectStart, record->groupStarts[group],
                                                    record->groupEnds[group]);
        }
    }
    return PackPosition(reply.subjectStart, record->groupStarts[0], record->groupEnds[0]);
}

const char* EngineBinding::Substitute(ThreadState& thread, TextSpan pattern, TextSpan subject) {
    subject = CopyOf(thread.workSubject, subject);
    const Reply reply = Forward(thread, Operation::kSubstitute, pattern, subject, 0);
    if (reply.rc == 0) return thread.HandOff(subject);
    if (reply.rc > 0 && reply.record != nullptr) return thread.HandOff(HostText(reply.record->outputText));
    return thread.HandOff(emptyString);
}

const char* EngineBinding::Translate(ThreadState& thread, TextSpan pattern, TextSpan subject) {
    subject = CopyOf(thread.workSubject, subject);
    const Reply reply = Forward(thread, Operation::kTranslate, pattern, subject, 0);
    // Unlike a substitution, a count of 0 still takes the output text.
    if (reply.rc >= 0 && reply.record != nullptr) return thread.HandOff(HostText(reply.record->outputText));
    return thread.HandOff(emptyString);
}

std::int32_t EngineBinding::Split(ThreadState& thread, TextSpan pattern, TextSpan subject,
                                  std::int32_t limit) {
    const TextSpan copy = CopyOf(thread.lastSubject, subject);
    const Reply reply = Forward(thread, Operation::kSplit, pattern, copy, limit);
    const bregexp* record = reply.record;
    if (reply.rc <= 0 || record == nullptr || record->splitPairs == nullptr) {
        NewResults(thread, 0);
        return -1;
    }
    ResultSet* pieces = NewResults(thread, reply.rc);
    for (std::int32_t piece = 0; piece < reply.rc; ++piece) {
        pieces->items[piece] = PackPosition(reply.subjectStart, record->splitPairs[2 * piece],
                                            record->splitPairs[2 * piece + 1]);
    }
    return reply.rc;
}
