// The ten exports. Each takes its texts in as strings, asks the one engine
// binding, and hands a text result over through resultText. A module whose
// attach failed has no binding and answers "" or -1 without touching state.
#include "platform/platform.h"

// The public header's declarations, marked exported for the module's build.
#define MOLV_WRAP_EXPORT MOLV_EXPORTED
#include "molv_wrap.h"

#include "engine/packed_position.h"
#include "module/module_objects.h"

namespace {

// Nothing may escape into the host: a failed allocation answers "" or -1.
template <typename Result, typename Work>
Result Ask(Result fallback, Work work) {
    EngineBinding* engine = theEngine.Get();
    if (engine == nullptr) return fallback;
    try {
        return work(*engine);
    } catch (...) {
        return fallback;
    }
}

template <typename Work>
const char* AskText(Work work) {
    return Ask(emptyString.GetText(), work);
}

}  // namespace

// Each pattern export takes its subject in, then its pattern, each probed
// and measured once and read where the host keeps it.
const char* MOLV_CALL MOLV_MATCH(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine) {
        const TextSpan subjectText = HostText(subject);
        return HandOffPosition(engine.Match(HostText(pattern), subjectText));
    });
}

const char* MOLV_CALL MOLV_SUBST(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine) {
        const TextSpan subjectText = HostText(subject);
        return HandOff(engine.Substitute(HostText(pattern), subjectText));
    });
}

const char* MOLV_CALL MOLV_TRANS(const char* pattern, const char* subject) {
    return AskText([&](EngineBinding& engine) {
        const TextSpan subjectText = HostText(subject);
        return HandOff(engine.Translate(HostText(pattern), subjectText));
    });
}

int MOLV_CALL MOLV_SPLIT(const char* pattern, const char* subject, int limit) {
    return Ask(-1, [&](EngineBinding& engine) {
        const TextSpan subjectText = HostText(subject);
        return static_cast<int>(engine.Split(HostText(pattern), subjectText, limit));
    });
}

const char* MOLV_CALL MOLV_GETNEXT() {
    return AskText([](EngineBinding& engine) {
        return HandOffPosition(engine.NextResult());
    });
}

int MOLV_CALL MOLV_HASMORERESULTS() {
    return Ask(0, [](EngineBinding& engine) { return static_cast<int>(engine.HasMoreResults()); });
}

const char* MOLV_CALL MOLV_POSTOSTR(const char* positionText) {
    return AskText([&](EngineBinding& engine) {
        const std::int32_t position = ParsePositionText(positionText);
        // An unusable position leaves resultText, and the text the host got
        // from the previous call, alone.
        if (position == kNoPosition) return emptyString.GetText();
        return HandOff(engine.ExtractText(position));
    });
}

const char* MOLV_CALL MOLV_ERRORMSG() {
    return AskText([](EngineBinding& engine) { return HandOff(engine.errorText); });
}

const char* MOLV_CALL MOLV_VERSION() {
    return AskText([](EngineBinding& engine) { return HandOff(engine.GetVersionText()); });
}

const char* MOLV_CALL MOLV_MOLVWVERSION() { return moduleVersion; }
