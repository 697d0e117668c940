// The six entry points of bregexp.dll. Each call takes the caller's record
// when the text is null or the one it was compiled from, else makes a new
// record, which shares the compiled operator of any live record of the same
// text. It runs the record on the caller's subject in place and leaves a
// zero-terminated message of at most 79 bytes: "" on success, the problem on
// failure.
// The definitions are exported, and checked against the list they come from.
#define BREGEXP_EXPORT __attribute__((visibility("default")))
#include "bregexp.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <climits>
#include <string>

#include "abi/compiled_record.h"
#include "engines/message_buffer.h"
#include "perl/match_loops.h"


namespace regexlib {
namespace {

// The project's version, given by the build.
constexpr const char* kLibraryVersion = REGEXLIB_VERSION;

// Which records an entry point can run: any pattern can match and split,
// only a substitution substitutes and only a translation translates.
bool Serves(OperatorKind kind, OperatorKind wanted) {
    if (wanted == OperatorKind::Match) return kind != OperatorKind::Translate;
    return kind == wanted;
}

const char* KindMismatchMessage(OperatorKind wanted) {
    switch (wanted) {
        case OperatorKind::Match: return "a translation cannot match or split";
        case OperatorKind::Substitute: return "not a substitution (expected s///)";
        case OperatorKind::Translate: return "not a translation (expected tr/// or y///)";
    }
    return "wrong kind of record";
}

// The module hands an output to its host as a zero-terminated text, which
// the host reads up to its first NUL: an output holding one is refused
// rather than handed on cut short.
constexpr const char* kNulInOutputMessage = "the result would hold a NUL byte, which a text cannot carry";

void PublishOutput(bregexp* record, OutputText& output) {
    // The terminating zero is part of the contract; the record points at the
    // buffer until the next call.
    record->outputText = output.Terminated();
    record->outputEnd = record->outputText + output.size();
}

// One call's record: the caller's, or a new one this call compiled and must
// hand back on success or free on failure, so a failure never leaves a record.
class CallRecord {
public:
    CallRecord(bregexp** slot, char* message) : slot_(slot), message_(message) {}

    ~CallRecord() {
        if (fresh_ != nullptr) FreeRecord(fresh_);
    }

    // Every entry point's first step: the record found or compiled, checked
    // to serve `wanted`, and the subject checked.
    bool Begin(const char* pattern, OperatorKind wanted, const char* start, const char* end) {
        return Open(pattern, wanted) && CheckSubject(start, end);
    }

    // Ends a successful call: the caller gets a freshly compiled record.
    void Succeed() {
        if (fresh_ != nullptr) *slot_ = fresh_;
        fresh_ = nullptr;
        ClearMessage(message_);
    }

    bool Fail(const std::string& text) {
        WriteMessage(message_, text);
        return false;
    }

    int FailCode(const std::string& text) {
        Fail(text);
        return -1;
    }

    // A substitution or translation that fails has written into the
    // record's output buffer, and may have moved it: the record then shows
    // the empty text, never a freed buffer or a part of the refused output.
    int FailOutput(const std::string& text) {
        state_->output.Clear();
        PublishOutput(record_, state_->output);
        return FailCode(text);
    }

    bregexp* record() const { return record_; }
    CompiledRecord& state() const { return *state_; }

private:
    // Finds or compiles the record and checks that it serves `wanted`.
    bool Open(const char* pattern, OperatorKind wanted) {
        if (slot_ == nullptr) return Fail("no place for the record");
        if (pattern != nullptr && !Reuses(pattern)) {
            std::string error;
            fresh_ = CompileRecord(pattern, error);
            if (fresh_ == nullptr) return Fail(error);
            record_ = fresh_;
        } else if (pattern == nullptr) {
            if (*slot_ == nullptr) return Fail("no pattern and no compiled record");
            record_ = *slot_;
        }
        state_ = StateOf(record_);
        if (state_ == nullptr) return Fail("not a record of this library");
        if (!Serves(state_->compiled->parsed.kind, wanted)) return Fail(KindMismatchMessage(wanted));
        return true;
    }

    // Checks the subject range; a UTF-8 record also needs a valid subject.
    bool CheckSubject(const char* start, const char* end) {
        if (start == nullptr || end == nullptr || end < start) return Fail("no subject text");
        std::size_t bad = 0;
        if (state_->compiled->parsed.flags.encoding == TextEncoding::Utf8 && !IsValidUtf8(start, end, &bad)) {
            return Fail("invalid UTF-8 in the subject at byte " + std::to_string(bad));
        }
        return true;
    }

    // A text with the caller's record: reuse it when it was compiled from
    // the same text, otherwise compile anew and leave the old record to the
    // caller, who still holds it.
    bool Reuses(const char* pattern) {
        CompiledRecord* state = StateOf(*slot_);
        if (state == nullptr || state->compiled->sourceText != pattern) return false;
        record_ = *slot_;
        return true;
    }

    bregexp** slot_;
    char* message_;
    bregexp* fresh_ = nullptr;
    bregexp* record_ = nullptr;
    CompiledRecord* state_ = nullptr;
};

int ClampCount(std::size_t count) { return count > INT_MAX ? INT_MAX : static_cast<int>(count); }

// split /^/ means split /^/m in Perl. The record's own engine on that code
// is made on first need, as most /^/ records never split.
PatternEngine* SplitEngineOf(CompiledRecord& state, std::string& message) {
    const PatternEngine* compiled = state.compiled->splitEngine.get();
    if (compiled == nullptr) return state.engine.get();
    if (state.splitEngine == nullptr) state.splitEngine = compiled->Twin();
    if (state.splitEngine == nullptr) message = "out of memory";
    return state.splitEngine.get();
}

// The record of a call without a pattern text, when nothing in the call can
// fail but the search: then the call needs none of CallRecord's steps. This
// is every call the module makes after a pattern's first. A UTF-8 subject
// takes the long way, which checks it.
CompiledRecord* ReadyToMatch(const char* pattern, bregexp** slot, const char* start, const char* end) {
    if (pattern != nullptr || slot == nullptr || start == nullptr || end == nullptr || end < start) {
        return nullptr;
    }
    CompiledRecord* state = StateOf(*slot);
    return state != nullptr && state->quickMatch ? state : nullptr;
}

// A call that compiles its record or may fail before the search. Kept out
// of the match entry point, so the cached path does not pay for setting up its frame.
[[gnu::noinline]] int MatchTheLongWay(const char* pattern, const char* subjectStart,
                                      const char* subjectEnd, bregexp** record, char* message) {
    CallRecord call(record, message);
    if (!call.Begin(pattern, OperatorKind::Match, subjectStart, subjectEnd)) return -1;
    CompiledRecord& state = call.state();
    const int rc = state.engine->MatchGroups(subjectStart, subjectEnd, state.groups.data(), message);
    if (rc >= 0) call.Succeed();
    return rc;
}

// PCRE2 answers its version itself; RE2 has no version function, so its
// pinned release comes from the build.
std::string VersionText() {
    char pcre2Version[64] = "";
    pcre2_config(PCRE2_CONFIG_VERSION, pcre2Version);
    return std::string("bregexp.dll ") + kLibraryVersion + " (MOLV_Wrap regexlib; PCRE2 " + pcre2Version +
           "; RE2 " + MOLV_RE2_VERSION + ")";
}

}  // namespace
}  // namespace regexlib

using namespace regexlib;

int BREGEXP_CALL BMatch(const char* pattern, const char* subjectStart, const char* subjectEnd,
                        bregexp** record, char* message) {
    CompiledRecord* state = ReadyToMatch(pattern, record, subjectStart, subjectEnd);
    if (state == nullptr) return MatchTheLongWay(pattern, subjectStart, subjectEnd, record, message);
    // The message is cleared first, so that the search is the call's last
    // step: the engine returns straight to the caller.
    ClearMessage(message);
    return state->engine->MatchGroups(subjectStart, subjectEnd, state->groups.data(), message);
}

int BREGEXP_CALL BSubst(const char* pattern, const char* subjectStart, const char* subjectEnd,
                        bregexp** record, char* message) {
    CallRecord call(record, message);
    if (!call.Begin(pattern, OperatorKind::Substitute, subjectStart, subjectEnd)) return -1;
    CompiledRecord& state = call.state();
    std::string error;
    const CompiledOperator& compiled = *state.compiled;
    const int count = SubstituteMatches(*state.engine, compiled.replacement, compiled.parsed.flags.global,
                                        subjectStart, subjectEnd, state.output, error);
    if (count < 0) return call.FailOutput(error);
    if (state.output.HoldsNul()) return call.FailOutput(kNulInOutputMessage);
    PublishOutput(call.record(), state.output);
    call.Succeed();
    return count;
}

int BREGEXP_CALL BTrans(const char* pattern, const char* subjectStart, const char* subjectEnd,
                        bregexp** record, char* message) {
    CallRecord call(record, message);
    if (!call.Begin(pattern, OperatorKind::Translate, subjectStart, subjectEnd)) return -1;
    CompiledRecord& state = call.state();
    const TranslationResult result = state.compiled->translation->Apply(subjectStart, subjectEnd, state.output);
    if (result.holdsNul) return call.FailOutput(kNulInOutputMessage);
    PublishOutput(call.record(), state.output);
    call.Succeed();
    return ClampCount(result.count);
}

int BREGEXP_CALL BSplit(const char* pattern, const char* subjectStart, const char* subjectEnd,
                        int limit, bregexp** record, char* message) {
    CallRecord call(record, message);
    if (!call.Begin(pattern, OperatorKind::Match, subjectStart, subjectEnd)) return -1;
    CompiledRecord& state = call.state();
    std::string error;
    int pieces = 0;
    if (state.compiled->splitByte >= 0) {
        pieces = SplitOnByte(static_cast<char>(state.compiled->splitByte), subjectStart, subjectEnd, limit,
                             state.splitPairs);
    } else {
        PatternEngine* engine = SplitEngineOf(state, error);
        if (engine == nullptr) return call.FailCode(error);
        pieces = SplitPieces(*engine, subjectStart, subjectEnd, limit, state.splitPairs, error);
        if (pieces < 0) return call.FailCode(error);
    }
    call.record()->splitPairs = state.splitPairs.data();
    call.Succeed();
    return pieces;
}

void BREGEXP_CALL BRegfree(bregexp* record) { FreeRecord(record); }

const char* BREGEXP_CALL BRegexpVersion() {
    // Built once; the caller copies it at once and never frees it.
    static const std::string version = VersionText();
    return version.c_str();
}

BREGEXP_ENTRY_POINTS(BREGEXP_CHECK_DEFINITION)
