// Oniguruma adapter: Shift_JIS patterns (and plain bytes), with Perl's syntax.
// The library now reads Shift_JIS as Unicode (shift_jis_engine.cpp), which
// gives perl's answers on the decoded text; this adapter is kept compiling
// and tested, for comparison.
#include <oniguruma.h>

#include "engine_limits.h"
#include "pattern_engine.h"

namespace regexlib {
namespace {

OnigEncoding EncodingFor(TextEncoding encoding) {
    return encoding == TextEncoding::ShiftJis ? ONIG_ENCODING_SJIS : ONIG_ENCODING_ASCII;
}

// Oniguruma wants each encoding initialised once before use, and keeps
// global tables from then on; they are handed back when this library is
// unloaded (after the module has freed every record). The session is a
// thread-safe static: onig_new would otherwise initialise on first use
// without a lock, and two threads compiling their first patterns at once
// would both fill those tables. Once made, compiling and searching only
// read them.
class OnigurumaSession {
public:
    OnigurumaSession() {
        OnigEncoding encodings[] = {ONIG_ENCODING_SJIS, ONIG_ENCODING_ASCII};
        onig_initialize(encodings, sizeof encodings / sizeof encodings[0]);
    }
    ~OnigurumaSession() { onig_end(); }
    OnigurumaSession(const OnigurumaSession&) = delete;
    OnigurumaSession& operator=(const OnigurumaSession&) = delete;
};

void InitialiseOnce() { static OnigurumaSession session; }

std::string OnigMessage(int code, OnigErrorInfo* info) {
    OnigUChar buffer[ONIG_MAX_ERROR_MESSAGE_LEN];
    onig_error_code_to_str(buffer, code, info);
    return reinterpret_cast<const char*>(buffer);
}

// Perl's flags in Oniguruma's words: its MULTILINE is Perl's s, and Perl's m
// is the absence of the SINGLELINE default of the Perl syntax.
OnigOptionType CompileFlags(const PatternOptions& options) {
    // CAPTURE_GROUP keeps plain groups numbered beside named ones, as Perl does.
    OnigOptionType flags = ONIG_OPTION_CAPTURE_GROUP;
    if (options.caseless) flags |= ONIG_OPTION_IGNORECASE;
    if (options.extended) flags |= ONIG_OPTION_EXTEND;
    if (options.dotAll) flags |= ONIG_OPTION_MULTILINE;
    if (options.multiline) flags |= ONIG_OPTION_NEGATE_SINGLELINE;
    return flags;
}

class OnigurumaEngine final : public PatternEngine {
public:
    ~OnigurumaEngine() override {
        if (matchParam_ != nullptr) onig_free_match_param(matchParam_);
        if (region_ != nullptr) onig_region_free(region_, 1);
        if (regex_ != nullptr) onig_free(regex_);
    }

    bool Compile(const std::string& pattern, const PatternOptions& options, std::string& message) {
        InitialiseOnce();
        encoding_ = options.encoding;
        OnigErrorInfo info{};
        const auto* text = reinterpret_cast<const OnigUChar*>(pattern.data());
        const int rc = onig_new(&regex_, text, text + pattern.size(), CompileFlags(options),
                                EncodingFor(options.encoding), ONIG_SYNTAX_PERL_NG, &info);
        if (rc != ONIG_NORMAL) {
            regex_ = nullptr;
            message = OnigMessage(rc, &info);
            return false;
        }
        region_ = onig_region_new();
        matchParam_ = onig_new_match_param();
        if (region_ == nullptr || matchParam_ == nullptr) {
            message = "out of memory";
            return false;
        }
        onig_initialize_match_param(matchParam_);
        onig_set_retry_limit_in_match_of_match_param(matchParam_, kMatchStepLimit);
        onig_set_retry_limit_in_search_of_match_param(matchParam_, kSearchRetryLimit);
        return true;
    }

    SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                         bool notEmptyAtStart, std::string& message) override {
        if (notEmptyAtStart) return SearchNotEmptyAtStart(begin, end, startOffset, message);
        return SearchFrom(begin, end, startOffset, message);
    }

    int GroupCount() const override { return onig_number_of_captures(regex_); }

    GroupSpan Group(int index) const override {
        if (index < 0 || index >= region_->num_regs || region_->beg[index] == ONIG_REGION_NOTPOS) {
            return {};
        }
        return {region_->beg[index], region_->end[index]};
    }

private:
    static const OnigUChar* Bytes(const char* at) { return reinterpret_cast<const OnigUChar*>(at); }

    SearchOutcome Outcome(int rc, std::string& message) {
        if (rc >= 0) return SearchOutcome::Matched;
        if (rc == ONIG_MISMATCH) return SearchOutcome::NoMatch;
        message = OnigMessage(rc, nullptr);
        return SearchOutcome::Failed;
    }

    SearchOutcome SearchFrom(const char* begin, const char* end, std::size_t startOffset,
                             std::string& message) {
        const int rc = onig_search_with_param(regex_, Bytes(begin), Bytes(end),
                                              Bytes(begin + startOffset), Bytes(end), region_,
                                              ONIG_OPTION_NONE, matchParam_);
        return Outcome(rc, message);
    }

    // Oniguruma has no "not empty at the start offset" option, so the rule is
    // built from two calls: the first non-empty match anchored at the start
    // (what Perl's backtracking finds there), else any match one character on.
    SearchOutcome SearchNotEmptyAtStart(const char* begin, const char* end,
                                        std::size_t startOffset, std::string& message) {
        const char* start = begin + startOffset;
        const int rc = onig_match_with_param(regex_, Bytes(begin), Bytes(end), Bytes(start),
                                             region_, ONIG_OPTION_FIND_NOT_EMPTY, matchParam_);
        if (rc != ONIG_MISMATCH) return Outcome(rc, message);
        if (start >= end) return SearchOutcome::NoMatch;
        const std::size_t step = CharacterLength(encoding_, start, end);
        return SearchFrom(begin, end, startOffset + step, message);
    }

    regex_t* regex_ = nullptr;
    OnigRegion* region_ = nullptr;
    OnigMatchParam* matchParam_ = nullptr;
    TextEncoding encoding_ = TextEncoding::Bytes;
};

}  // namespace

std::unique_ptr<PatternEngine> CompileOniguruma(const std::string& pattern,
                                                const PatternOptions& options,
                                                std::string& message) {
    if (options.encoding == TextEncoding::Utf8) {
        message = "this library reads UTF-8 with PCRE2";
        return nullptr;
    }
    auto engine = std::make_unique<OnigurumaEngine>();
    if (!engine->Compile(pattern, options, message)) return nullptr;
    return engine;
}

}  // namespace regexlib
