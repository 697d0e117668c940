// PCRE2 adapter: bytes and UTF-8 patterns, compiled once with the JIT.
#include <algorithm>
#include <cstdint>

#include "message_buffer.h"
#include "pattern_engine.h"
#include "pcre2_match_contexts.h"

namespace regexlib {
namespace {

std::string Pcre2Message(int code) {
    PCRE2_UCHAR buffer[120];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) return "PCRE2 error";
    return reinterpret_cast<const char*>(buffer);
}

std::uint32_t CompileFlags(const PatternOptions& options) {
    std::uint32_t flags = 0;
    if (options.caseless) flags |= PCRE2_CASELESS;
    if (options.multiline) flags |= PCRE2_MULTILINE;
    if (options.dotAll) flags |= PCRE2_DOTALL;
    if (options.extended) flags |= PCRE2_EXTENDED;
    // UCP gives \w, \d, \s and \b their Unicode meaning, as Perl's are on
    // character strings. The pattern is checked here; the subject once per
    // call by the caller, not by every pcre2_match of a global loop.
    if (options.encoding == TextEncoding::Utf8) flags |= PCRE2_UTF | PCRE2_UCP;
    return flags;
}

class Pcre2Engine final : public PatternEngine {
public:
    ~Pcre2Engine() override {
        pcre2_match_data_free(matchData_);
        pcre2_code_free(code_);
    }

    bool Compile(const std::string& pattern, const PatternOptions& options, std::string& message) {
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                              CompileFlags(options), &errorCode, &errorOffset, nullptr);
        if (code_ == nullptr) {
            message = Pcre2Message(errorCode) + " at offset " + std::to_string(errorOffset);
            return false;
        }
        PrepareJitOnce();
        // Without the JIT (not built in, or out of memory) the interpreter
        // still gives the same answers, only slower.
        const bool jitted = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
        runner_ = jitted ? Runner::JitOnMachineStack : Runner::Interpreter;
        matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        context_ = SharedMatchContext();
        if (matchData_ == nullptr || context_ == nullptr) {
            message = "out of memory";
            return false;
        }
        jitContext_ = MachineStackJitContext();
        ovector_ = pcre2_get_ovector_pointer(matchData_);
        std::uint32_t captures = 0;
        pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &captures);
        groupCount_ = static_cast<int>(captures);
        return true;
    }

    SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                         bool notEmptyAtStart, std::string& message) override {
        const int rc = Match(begin, end, startOffset, notEmptyAtStart ? PCRE2_NOTEMPTY_ATSTART : 0u);
        return rc >= 0 ? SearchOutcome::Matched : Failure(rc, message);
    }

    int GroupCount() const override { return groupCount_; }

    GroupSpan Group(int index) const override {
        if (index < 0 || index > groupCount_ || ovector_[2 * index] == PCRE2_UNSET) return {};
        return {static_cast<std::ptrdiff_t>(ovector_[2 * index]),
                static_cast<std::ptrdiff_t>(ovector_[2 * index + 1])};
    }

    int MatchGroups(const char* begin, const char* end, char** groups, char* message) override {
        const int rc = Match(begin, end, 0, 0);
        if (rc < 0) return NoGroups(rc, groups, message);
        ReadGroups(begin, groups);
        return 1;
    }

private:
    // The JIT runs first on PCRE2's machine-stack area, which costs nothing
    // to set up. The rare other cases stay out of this hot path.
    int Match(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags) {
        if (runner_ == Runner::JitOnMachineStack) {
            const int rc = JitMatchWith(begin, end, startOffset, flags, jitContext_);
            if (rc != PCRE2_ERROR_JIT_STACKLIMIT) return rc;
        }
        return MatchSlowly(begin, end, startOffset, flags);
    }

    // The interpreter, or the JIT on the thread's JIT stack: a pattern moves
    // there for good once a match outgrew PCRE2's machine-stack area. Kept
    // out of line, like the failure paths below, so that the hot path has
    // fewer registers to save.
    [[gnu::noinline]] int MatchSlowly(const char* begin, const char* end, std::size_t startOffset,
                                      std::uint32_t flags) {
        if (runner_ == Runner::Interpreter) {
            return pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(begin), static_cast<PCRE2_SIZE>(end - begin),
                               startOffset, flags | PCRE2_NO_UTF_CHECK, matchData_, context_);
        }
        runner_ = Runner::JitOnThreadStack;
        pcre2_match_context* deep = ThreadStackMatchContext();
        return JitMatchWith(begin, end, startOffset, flags, deep != nullptr ? deep : context_);
    }

    int JitMatchWith(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags,
                     pcre2_match_context* context) {
        return pcre2_jit_match(code_, reinterpret_cast<PCRE2_SPTR>(begin), static_cast<PCRE2_SIZE>(end - begin),
                               startOffset, flags, matchData_, context);
    }

    [[gnu::noinline]] static SearchOutcome Failure(int rc, std::string& message) {
        if (rc == PCRE2_ERROR_NOMATCH) return SearchOutcome::NoMatch;
        message = Pcre2Message(rc);
        return SearchOutcome::Failed;
    }

    // MatchGroups after no match (0, every group null) or a failure (-1).
    [[gnu::noinline]] int NoGroups(int rc, char** groups, char* message) const {
        if (rc != PCRE2_ERROR_NOMATCH) {
            WriteMessage(message, Pcre2Message(rc));
            return -1;
        }
        std::fill(groups, groups + 2 * (groupCount_ + 1), nullptr);
        return 0;
    }

    // PCRE2 marks every pair the match did not set as PCRE2_UNSET, those past
    // the count it returned included. Adding offsets as integers keeps an
    // unset one from ever being added to a pointer.
    void ReadGroups(const char* subject, char** groups) const {
        const auto base = reinterpret_cast<std::uintptr_t>(subject);
        const int count = groupCount_ + 1;
        for (int index = 0; index < count; ++index) {
            const PCRE2_SIZE start = ovector_[2 * index];
            const bool idle = start == PCRE2_UNSET;
            groups[index] = reinterpret_cast<char*>(idle ? 0 : base + start);
            groups[count + index] = reinterpret_cast<char*>(idle ? 0 : base + ovector_[2 * index + 1]);
        }
    }

    pcre2_code* code_ = nullptr;
    pcre2_match_data* matchData_ = nullptr;
    pcre2_match_context* context_ = nullptr;     // shared, not owned
    pcre2_match_context* jitContext_ = nullptr;  // context_, or none if the same
    PCRE2_SIZE* ovector_ = nullptr;
    // How this pattern's searches run; a JIT pattern moves from PCRE2's
    // machine-stack area to the thread's JIT stack for good.
    enum class Runner { Interpreter, JitOnMachineStack, JitOnThreadStack };
    Runner runner_ = Runner::Interpreter;
    int groupCount_ = 0;
};

}  // namespace

std::unique_ptr<PatternEngine> CompilePcre2(const std::string& pattern,
                                            const PatternOptions& options,
                                            std::string& message) {
    if (options.encoding == TextEncoding::ShiftJis) {
        message = "PCRE2 cannot read Shift_JIS";
        return nullptr;
    }
    auto engine = std::make_unique<Pcre2Engine>();
    if (!engine->Compile(pattern, options, message)) return nullptr;
    return engine;
}

}  // namespace regexlib
