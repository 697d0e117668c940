// PCRE2 adapter: bytes and UTF-8 patterns, compiled once with the JIT.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "engine_limits.h"
#include "pattern_engine.h"

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
        pcre2_match_context_free(matchContext_);
        pcre2_jit_stack_free(jitStack_);
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
        // Without the JIT (not built in, or out of memory) the interpreter
        // still gives the same answers, only slower.
        jitted_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
        matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        matchContext_ = pcre2_match_context_create(nullptr);
        if (matchData_ == nullptr || matchContext_ == nullptr) {
            message = "out of memory";
            return false;
        }
        pcre2_set_match_limit(matchContext_, kMatchStepLimit);
        pcre2_set_depth_limit(matchContext_, kMatchStepLimit);
        if (jitted_) {
            // The default 32 KiB JIT stack is too small for repeated groups
            // over long subjects; a larger one is made on first need only.
            jitStack_ = pcre2_jit_stack_create(32 * 1024, kJitStackBytes, nullptr);
            if (jitStack_ != nullptr) pcre2_jit_stack_assign(matchContext_, nullptr, jitStack_);
        }
        std::uint32_t captures = 0;
        pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &captures);
        groupCount_ = static_cast<int>(captures);
        return true;
    }

    SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                         bool notEmptyAtStart, std::string& message) override {
        const auto* subject = reinterpret_cast<PCRE2_SPTR>(begin);
        const auto length = static_cast<PCRE2_SIZE>(end - begin);
        const std::uint32_t flags = notEmptyAtStart ? PCRE2_NOTEMPTY_ATSTART : 0;
        const int rc = jitted_
            ? pcre2_jit_match(code_, subject, length, startOffset, flags, matchData_, matchContext_)
            : pcre2_match(code_, subject, length, startOffset, flags | PCRE2_NO_UTF_CHECK,
                          matchData_, matchContext_);
        if (rc >= 0) {
            ovector_ = pcre2_get_ovector_pointer(matchData_);
            matchedPairs_ = rc == 0 ? groupCount_ + 1 : rc;
            return SearchOutcome::Matched;
        }
        if (rc == PCRE2_ERROR_NOMATCH) return SearchOutcome::NoMatch;
        message = Pcre2Message(rc);
        return SearchOutcome::Failed;
    }

    int GroupCount() const override { return groupCount_; }

    GroupSpan Group(int index) const override {
        // Pairs past the count pcre2 returned were not set by this match.
        if (index < 0 || index >= matchedPairs_ || ovector_[2 * index] == PCRE2_UNSET) return {};
        return {static_cast<std::ptrdiff_t>(ovector_[2 * index]),
                static_cast<std::ptrdiff_t>(ovector_[2 * index + 1])};
    }

    void ReadGroups(const char* subject, char** starts, char** ends, int count) const override {
        for (int index = 0; index < count; ++index) {
            const bool idle = index >= matchedPairs_ || ovector_[2 * index] == PCRE2_UNSET;
            starts[index] = idle ? nullptr : const_cast<char*>(subject + ovector_[2 * index]);
            ends[index] = idle ? nullptr : const_cast<char*>(subject + ovector_[2 * index + 1]);
        }
    }

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* matchData_ = nullptr;
    pcre2_match_context* matchContext_ = nullptr;
    pcre2_jit_stack* jitStack_ = nullptr;
    PCRE2_SIZE* ovector_ = nullptr;
    bool jitted_ = false;
    int groupCount_ = 0;
    int matchedPairs_ = 0;
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
