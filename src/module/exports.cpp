// The ten exports. Each takes its texts in, asks the one engine binding for
// the calling thread, and hands a text result over through that thread's
// result string. A module whose attach failed has no binding and answers ""
// or -1 without touching state.
#include <new>

#include "platform/platform.h"

// The public header's declarations, marked exported for the module's build.
#define MOLV_WRAP_EXPORT MOLV_EXPORTED
#include "molv_wrap.h"

#include "engine/packed_position.h"
#include "module/module_objects.h"

namespace {

// Nothing may escape into the host: a failure of the module's own (a failed
// allocation) answers "" or -1, and the calling thread's MOLV_ERRORMSG says
// what happened, so a host can tell it from "no match". A call whose thread
// state cannot be made answers `withoutState`, and the thread is marked to
// be told on its next call.
template <typename Result, typename Work>
Result Ask(Result fallback, Work work, Result withoutState) {
    EngineBinding* engine = theEngine.Get();
    if (engine == nullptr) return fallback;
    ThreadState* thread = nullptr;
    try {
        thread = &CallingThreadState();
        return work(*engine, *thread);
    } catch (const std::bad_alloc&) {
        if (thread == nullptr) {
            MarkStateLost();
            return withoutState;
        }
        thread->errorText = outOfMemory;
    } catch (...) {
        if (thread != nullptr) thread->errorText = internalFailure;
    }
    return fallback;
}

template <typename Result, typename Work>
Result Ask(Result fallback, Work work) {
    return Ask(fallback, work, fallback);
}

template <typename Work>
const char* AskText(Work work) {
    return Ask(emptyString.GetText(), work);
}

}  // namespace

// Each pattern export takes its subject in, then its pattern, each probed
// and measured once and read where the host keeps it.
const char* MOLV_CALL MOLV_MATCH(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine, ThreadState& thread) {
        const TextSpan subjectText = HostText(subject);
        return thread.HandOffPosition(engine.Match(thread, HostText(pattern), subjectText));
    });
}

const char* MOLV_CALL MOLV_SUBST(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine, ThreadState& thread) {
        const TextSpan subjectText = HostText(subject);
        return engine.Substitute(thread, HostText(pattern), subjectText);
    });
}

const char* MOLV_CALL MOLV_TRANS(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine, ThreadState& thread) {
        const TextSpan subjectText = HostText(subject);
        return engine.Translate(thread, HostText(pattern), subjectText);
    });
}

int MOLV_CALL MOLV_SPLIT(const char* pattern, const char* subject, int limit) {
    return Ask(-1, [&](EngineBinding& engine, ThreadState& thread) {
        const TextSpan subjectText = HostText(subject);
        return static_cast<int>(engine.Split(thread, HostText(pattern), subjectText, limit));
    });
}

const char* MOLV_CALL MOLV_GETNEXT() {
    return AskText([](EngineBinding&, ThreadState& thread) {
        return thread.HandOffPosition(EngineBinding::NextResult(thread));
    });
}

int MOLV_CALL MOLV_HASMORERESULTS() {
    return Ask(0, [](EngineBinding&, ThreadState& thread) {
        return static_cast<int>(EngineBinding::HasMoreResults(thread));
    });
}

const char* MOLV_CALL MOLV_POSTOSTR(const char* positionText) {
    return AskText([&](EngineBinding&, ThreadState& thread) {
        const std::int32_t position = ParsePositionText(positionText);
        // An unusable position leaves resultText, and the text the host got
        // from the previous call, alone.
        if (position == kNoPosition) return emptyString.GetText();
        return thread.HandOff(EngineBinding::ExtractText(thread, position));
    });
}

const char* MOLV_CALL MOLV_ERRORMSG() {
    // A thread whose state cannot be made is told why all the same, from the
    // constant message: no call of it can have done anything else.
    return Ask(emptyString.GetText(),
               [](EngineBinding&, ThreadState& thread) { return thread.HandOff(thread.errorText); },
               outOfMemory.GetText());
}

const char* MOLV_CALL MOLV_VERSION() {
    return AskText([](EngineBinding& engine, ThreadState& thread) {
        return thread.HandOff(engine.GetVersionText());
    });
}

const char* MOLV_CALL MOLV_MOLVWVERSION() { return moduleVersion; }
