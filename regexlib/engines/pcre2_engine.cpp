// PCRE2 adapter: bytes and UTF-8 patterns, compiled once with the JIT.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "engines/engine_limits.h"
#include "engines/linear_engine.h"
#include "engines/message_buffer.h"
#include "engines/pattern_engine.h"
#include "engines/pcre2_match_contexts.h"
#include "engines/perl_pattern.h"

namespace regexlib {
namespace {

std::string Pcre2Message(int code) {
    PCRE2_UCHAR buffer[120];
    if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) return "PCRE2 error";
    return reinterpret_cast<const char*>(buffer);
}

bool IsQuantifierEnd(char c) { return c == '*' || c == '+' || c == '?' || c == '}'; }

bool IsPatternSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// PCRE2 makes quantifiers possessive by itself where that cannot change the
// match ("auto-possessification"); next to a possessive quantifier or an
// atomic group of the pattern's own that gives other answers than Perl's, as
// /\d+(?:,)?+\d/ not matching "123". This cheap scan tells whether a pattern
// may hold either, so that only those patterns lose the optimisation.
//
// It may answer yes wrongly, which only costs speed, but never no wrongly:
// it skips nothing but the character after a backslash, so it needs no idea
// of \Q..\E, classes or comments. Perl and PCRE2 read a '+' as possessive
// even after white space, a comment or an empty \Q\E (a+ (?#c)+ under x), so
// these keep the state "after a quantifier" instead of clearing it; a '#'
// starts a run to the line end that keeps it too, as an x-mode comment would.
bool MayHoldPossessiveParts(const std::string& pattern) {
    bool afterQuantifier = false;
    char commentEnd = 0;  // '\n' or ')' while in what may be a comment
    const std::size_t size = pattern.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = pattern[i];
        const char next = i + 1 < size ? pattern[i + 1] : '\0';
        const char third = i + 2 < size ? pattern[i + 2] : '\0';
        if (c == '\\') {
            ++i;
            if (next != 'Q' && next != 'E' && commentEnd == 0) afterQuantifier = false;
            continue;
        }
        if (c == '+' && afterQuantifier) return true;
        // (?> and the alpha forms (*atomic: and (*atomic_script_run: or (*asr:
        if (c == '(' && ((next == '?' && third == '>') || (next == '*' && third == 'a'))) return true;
        if (c == '(' && next == '?' && third == '#') {
            commentEnd = ')';
            i += 2;
        } else if (c == '#' && commentEnd == 0) {
            commentEnd = '\n';
        } else if (c == commentEnd) {
            commentEnd = 0;
        } else if (IsQuantifierEnd(c)) {
            afterQuantifier = true;
        } else if (!IsPatternSpace(c) && commentEnd == 0) {
            afterQuantifier = false;
        }
    }
    return false;
}

std::uint32_t CompileFlags(const std::string& pattern, const PatternOptions& options) {
    std::uint32_t flags = 0;
    if (options.caseless) flags |= PCRE2_CASELESS;
    if (options.multiline) flags |= PCRE2_MULTILINE;
    if (options.dotAll) flags |= PCRE2_DOTALL;
    if (options.extended) flags |= PCRE2_EXTENDED;
    if (options.extendedMore) flags |= PCRE2_EXTENDED_MORE;
    if (options.noAutoCapture) flags |= PCRE2_NO_AUTO_CAPTURE;
    // Perl lets several groups share a name.
    flags |= PCRE2_DUPNAMES;
    // UCP gives \w, \d, \s and \b their Unicode meaning, as Perl's are on
    // character strings. The pattern is checked here; the subject once per
    // call by the caller, not by every pcre2_match of a global loop.
    if (options.encoding == TextEncoding::Utf8) flags |= PCRE2_UTF | PCRE2_UCP;
    // Perl's a and aa ask for Unicode's rules even on bytes, read as Latin-1
    // (/\xC9/ia matches "\xE9"), with ASCII-only classes (the extra flags).
    if (options.asciiLevel > 0) flags |= PCRE2_UCP;
    if (MayHoldPossessiveParts(pattern)) flags |= PCRE2_NO_AUTO_POSSESS;
    return flags;
}

// Perl's a: \d \s \w \b and POSIX classes match ASCII alone; aa: no caseless
// match between an ASCII and a non-ASCII character (k and U+212A) either.
std::uint32_t ExtraCompileFlags(const PatternOptions& options) {
    if (options.asciiLevel == 0) return 0;
    std::uint32_t flags = PCRE2_EXTRA_ASCII_BSD | PCRE2_EXTRA_ASCII_BSS | PCRE2_EXTRA_ASCII_BSW |
                          PCRE2_EXTRA_ASCII_POSIX | PCRE2_EXTRA_ASCII_DIGIT;
    if (options.asciiLevel > 1) flags |= PCRE2_EXTRA_CASELESS_RESTRICT;
    return flags;
}

// Compiles with a compile context only when extra options need one.
pcre2_code* CompileCode(const std::string& pattern, const PatternOptions& options, int& errorCode,
                        PCRE2_SIZE& errorOffset) {
    const std::uint32_t extra = ExtraCompileFlags(options);
    pcre2_compile_context* context = nullptr;
    if (extra != 0) {
        context = pcre2_compile_context_create(nullptr);
        if (context == nullptr) {
            errorCode = PCRE2_ERROR_NOMEMORY;
            return nullptr;
        }
        pcre2_set_compile_extra_options(context, extra);
    }
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     CompileFlags(pattern, options), &errorCode, &errorOffset, context);
    pcre2_compile_context_free(context);
    return code;
}

// Perl's pattern in PCRE2's syntax. A condition on a numbered group needs
// the number of groups, which PCRE2 counts best: with every such condition
// false the groups are the same, so a first compile counts them.
bool TranslateForPcre2(const std::string& perlPattern, const PatternOptions& options, TranslatedPattern& pattern,
                       std::string& message) {
    if (!TranslatePerlPattern(perlPattern, options, pattern, message)) return false;
    if (!pattern.hasNumberedCondition) return true;
    if (!TranslatePerlPattern(perlPattern, options, pattern, message, 0)) return false;
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* probe = CompileCode(pattern.text, options, errorCode, errorOffset);
    // A pattern PCRE2 refuses anyway is refused with the first message.
    if (probe == nullptr) return TranslatePerlPattern(perlPattern, options, pattern, message);
    std::uint32_t captures = 0;
    pcre2_pattern_info(probe, PCRE2_INFO_CAPTURECOUNT, &captures);
    pcre2_code_free(probe);
    return TranslatePerlPattern(perlPattern, options, pattern, message, static_cast<int>(captures));
}

// What a pattern's engines share, read only once made: PCRE2's compiled
// code (threads may match with it at once, JIT code included, each with its
// own match data), and the linear engine, made by the first search that
// stops on a resource limit.
class SharedCode {
public:
    SharedCode(pcre2_code* code, const std::string& pattern, const PatternOptions& options)
        : code_(code), pattern_(pattern), options_(options) {}
    ~SharedCode() { pcre2_code_free(code_); }
    SharedCode(const SharedCode&) = delete;
    SharedCode& operator=(const SharedCode&) = delete;

    pcre2_code* Code() const { return code_; }

    // Null when it cannot be made (out of memory).
    const LinearEngine* Linear(int groupCount) const {
        std::call_once(linearMade_, [&] {
            try {
                linear_ = std::make_unique<LinearEngine>(pattern_, options_, groupCount);
            } catch (const std::bad_alloc&) {
            }
        });
        return linear_.get();
    }

private:
    pcre2_code* code_;
    const std::string pattern_;  // the caller's, for the linear engine's reading
    const PatternOptions options_;
    mutable std::once_flag linearMade_;
    mutable std::unique_ptr<LinearEngine> linear_;
};

bool IsResourceLimit(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
           rc == PCRE2_ERROR_JIT_STACKLIMIT;
}

class Pcre2Engine final : public PatternEngine {
public:
    ~Pcre2Engine() override { pcre2_match_data_free(matchData_); }

    bool Compile(const std::string& perlPattern, const PatternOptions& options, std::string& message) {
        TranslatedPattern pattern;
        if (!TranslateForPcre2(perlPattern, options, pattern, message)) return false;
        int errorCode = 0;
        PCRE2_SIZE errorOffset = 0;
        pcre2_code* code = CompileCode(pattern.text, options, errorCode, errorOffset);
        if (code == nullptr) {
            message = Pcre2Message(errorCode) + " at offset " + std::to_string(pattern.OriginalOffset(errorOffset));
            return false;
        }
        shared_ = std::make_shared<const SharedCode>(code, perlPattern, options);
        code_ = code;
        PrepareJitOnce();
        // Without the JIT (not built in, or out of memory) the interpreter
        // still gives the same answers, only slower.
        jitted_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
        std::uint32_t captures = 0;
        pcre2_pattern_info(code_, PCRE2_INFO_CAPTURECOUNT, &captures);
        groupCount_ = static_cast<int>(captures);
        aliases_ = std::move(pattern.aliases);
        if (!MakeMatchState()) {
            message = "out of memory";
            return false;
        }
        return true;
    }

    std::unique_ptr<PatternEngine> Twin() const override {
        auto twin = std::make_unique<Pcre2Engine>();
        twin->shared_ = shared_;
        twin->code_ = code_;
        twin->jitted_ = jitted_;
        twin->groupCount_ = groupCount_;
        twin->aliases_ = aliases_;
        if (!twin->MakeMatchState()) return nullptr;
        return twin;
    }

    SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                         bool notEmptyAtStart, std::string& message) override {
        const int rc = Match(begin, end, startOffset, notEmptyAtStart ? PCRE2_NOTEMPTY_ATSTART : 0u);
        return rc >= 0 ? SearchOutcome::Matched : Failure(rc, message);
    }

    int GroupCount() const override { return groupCount_; }

    // PCRE2's name table: entries of a two-byte group number (high byte
    // first) and the zero-terminated name, sorted by name.
    std::vector<int> GroupNumbers(const std::string& asked) const override {
        // A name a branch reset let stand for a group named otherwise.
        std::string name = asked;
        for (const auto& alias : aliases_) {
            if (alias.first == asked) name = alias.second;
        }
        std::uint32_t count = 0;
        std::uint32_t entrySize = 0;
        PCRE2_SPTR table = nullptr;
        pcre2_pattern_info(code_, PCRE2_INFO_NAMECOUNT, &count);
        pcre2_pattern_info(code_, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
        pcre2_pattern_info(code_, PCRE2_INFO_NAMETABLE, &table);
        std::vector<int> numbers;
        for (std::uint32_t entry = 0; entry < count; ++entry) {
            PCRE2_SPTR at = table + static_cast<std::size_t>(entry) * entrySize;
            if (name == reinterpret_cast<const char*>(at + 2)) numbers.push_back(at[0] << 8 | at[1]);
        }
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }

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
    // What each engine has of its own: match data for the code's groups,
    // the limits' contexts, and a JIT pattern starting on the machine stack.
    bool MakeMatchState() {
        runner_ = jitted_ ? Runner::JitOnMachineStack : Runner::Interpreter;
        matchData_ = pcre2_match_data_create_from_pattern(code_, nullptr);
        context_ = SharedMatchContext();
        if (matchData_ == nullptr || context_ == nullptr) return false;
        jitContext_ = MachineStackJitContext();
        ovector_ = pcre2_get_ovector_pointer(matchData_);
        return true;
    }

    // The JIT runs first on PCRE2's machine-stack area, which costs nothing
    // to set up. The rare other cases stay out of this hot path.
    int Match(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags) {
        if (runner_ == Runner::JitOnMachineStack) {
            const int rc = JitMatchWith(begin, end, startOffset, flags, jitContext_);
            if (rc >= PCRE2_ERROR_NOMATCH) return rc;
            return Recover(begin, end, startOffset, flags, rc);
        }
        return MatchSlowly(begin, end, startOffset, flags);
    }

    // The other runners. Kept out of line, like the failure paths below, so
    // that the hot path has fewer registers to save.
    [[gnu::noinline]] int MatchSlowly(const char* begin, const char* end, std::size_t startOffset,
                                      std::uint32_t flags) {
        if (runner_ == Runner::LinearFirst) {
            int answer = 0;
            if (SearchLinearly(begin, end, startOffset, flags, answer)) return answer;
            const int rc = RunPcre2(begin, end, startOffset, flags);
            return rc == PCRE2_ERROR_JIT_STACKLIMIT ? Interpret(begin, end, startOffset, flags, true) : rc;
        }
        const int rc = RunPcre2(begin, end, startOffset, flags);
        return rc >= PCRE2_ERROR_NOMATCH ? rc : Recover(begin, end, startOffset, flags, rc);
    }

    // The interpreter, or the JIT on the thread's JIT stack: a pattern moves
    // there for good once a match outgrew PCRE2's machine-stack area.
    int RunPcre2(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags) {
        if (!jitted_) return Interpret(begin, end, startOffset, flags, false);
        runner_ = runner_ == Runner::LinearFirst ? runner_ : Runner::JitOnThreadStack;
        pcre2_match_context* deep = ThreadStackMatchContext();
        return JitMatchWith(begin, end, startOffset, flags, deep != nullptr ? deep : context_);
    }

    // A search that PCRE2 stopped with `rc`. One that outgrew PCRE2's
    // machine-stack area goes on on the thread's JIT stack; one that stopped
    // on a resource limit is answered by the linear engine where it can, and
    // the pattern's later searches go there first, so that a host's loop
    // pays the limit once. Otherwise a search that outgrew the JIT stack
    // runs on the interpreter, with a heap budget that grows with the text.
    [[gnu::noinline]] int Recover(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags,
                                  int rc) {
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT && runner_ == Runner::JitOnMachineStack) {
            rc = RunPcre2(begin, end, startOffset, flags);
            if (rc >= PCRE2_ERROR_NOMATCH) return rc;
        }
        if (!IsResourceLimit(rc)) return rc;
        int answer = 0;
        if (SearchLinearly(begin, end, startOffset, flags, answer)) {
            runner_ = Runner::LinearFirst;
            return answer;
        }
        return rc == PCRE2_ERROR_JIT_STACKLIMIT ? Interpret(begin, end, startOffset, flags, true) : rc;
    }

    // True with PCRE2's result for the search in `answer` when the linear
    // engine could give it: its groups in the match data, or where the match
    // starts, from where PCRE2's interpreter finds the rest.
    bool SearchLinearly(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags,
                        int& answer) {
        const LinearEngine* linear = shared_->Linear(groupCount_);
        if (linear == nullptr) return false;
        if (linearGroups_.empty()) linearGroups_.resize(static_cast<std::size_t>(groupCount_) + 1);
        std::size_t start = 0;
        const bool notEmptyAtStart = (flags & PCRE2_NOTEMPTY_ATSTART) != 0;
        switch (linear->Search(begin, end, startOffset, notEmptyAtStart, linearGroups_.data(), start)) {
            case LinearEngine::Answer::Matched:
                for (std::size_t index = 0; index < linearGroups_.size(); ++index) {
                    const GroupSpan span = linearGroups_[index];
                    ovector_[2 * index] = span.start < 0 ? PCRE2_UNSET : static_cast<PCRE2_SIZE>(span.start);
                    ovector_[2 * index + 1] = span.start < 0 ? PCRE2_UNSET : static_cast<PCRE2_SIZE>(span.end);
                }
                answer = 1;
                return true;
            case LinearEngine::Answer::NoMatch: answer = PCRE2_ERROR_NOMATCH; return true;
            case LinearEngine::Answer::StartsAt:
                // Perl's rule after an empty match holds at the old start only.
                if (start != startOffset) flags &= ~PCRE2_NOTEMPTY_ATSTART;
                answer = Interpret(begin, end, start, flags | PCRE2_ANCHORED, true);
                return true;
            case LinearEngine::Answer::Declined: break;
        }
        return false;
    }

    // PCRE2's interpreter, whose backtracking lives on the heap; with a
    // budget, at most kInterpreterHeapBase and kInterpreterHeapPerByte for
    // every byte of the subject.
    int Interpret(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags,
                  bool budgeted) {
        const auto length = static_cast<PCRE2_SIZE>(end - begin);
        pcre2_match_context* context = context_;
        std::unique_ptr<pcre2_match_context, void (*)(pcre2_match_context*)> budget(nullptr, pcre2_match_context_free);
        if (budgeted) {
            budget.reset(pcre2_match_context_copy(context_));
            if (budget == nullptr) return PCRE2_ERROR_NOMEMORY;
            // In 64 bits, so that a long subject cannot wrap the budget round on 32-bit.
            const std::uint64_t kib = (kInterpreterHeapBase + std::uint64_t{kInterpreterHeapPerByte} * length) / 1024;
            pcre2_set_heap_limit(budget.get(), static_cast<std::uint32_t>(std::min<std::uint64_t>(kib, UINT32_MAX)));
            context = budget.get();
        }
        return pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(begin), length, startOffset,
                           flags | PCRE2_NO_UTF_CHECK | PCRE2_NO_JIT,
                           matchData_, context);
    }

    int JitMatchWith(const char* begin, const char* end, std::size_t startOffset, std::uint32_t flags,
                     pcre2_match_context* context) {
        return pcre2_jit_match(code_, reinterpret_cast<PCRE2_SPTR>(begin),
                               static_cast<PCRE2_SIZE>(end - begin), startOffset, flags, matchData_, context);
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

    std::shared_ptr<const SharedCode> shared_;  // with the twins
    pcre2_code* code_ = nullptr;                // shared_'s, with the JIT code
    bool jitted_ = false;
    pcre2_match_data* matchData_ = nullptr;
    pcre2_match_context* context_ = nullptr;     // shared, not owned
    pcre2_match_context* jitContext_ = nullptr;  // context_, or none if the same
    PCRE2_SIZE* ovector_ = nullptr;
    // How this pattern's searches run; a JIT pattern moves from PCRE2's
    // machine-stack area to the thread's JIT stack for good, and any pattern
    // to the linear engine first once that answered a search of it.
    enum class Runner { Interpreter, JitOnMachineStack, JitOnThreadStack, LinearFirst };
    Runner runner_ = Runner::Interpreter;
    int groupCount_ = 0;
    std::vector<std::pair<std::string, std::string>> aliases_;  // the reader's
    std::vector<GroupSpan> linearGroups_;  // the linear engine's answer, made at its first
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
