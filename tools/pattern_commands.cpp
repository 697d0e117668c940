#include "pattern_commands.h"

#include <string>
#include <string_view>

#include "exit_status.h"
#include "stack_text.h"
#include "subject_source.h"

namespace {

// The pattern and each subject are handed to the module as copies on this
// thread's stack, which it reads without a kernel check; only a longer text
// is copied to the heap.
constexpr std::size_t kTextOnStack = 64 * 1024;
using StackCopy = StackText<kTextOnStack>;
// A position text is at most "65535:65535".
using StackPosition = StackText<32>;

// Standard output has a buffer of its own: what was printed before a
// message goes out first, so both keep their order on one terminal.
void Report(CommandStreams streams, const std::string& message) {
    streams.out.Flush();
    streams.err << "molv: " << message << '\n';
}

// The module answers "" both for "nothing" and for a failure; only the
// library's message, "" after every successful call, tells them apart. It
// is asked only after an empty answer, and before any other call replaces it.
bool Failed(const LoadedModule& module, const Invocation& invocation, const SubjectSource& source,
            CommandStreams streams) {
    const char* message = module.MOLV_ERRORMSG();
    if (*message == 0) return false;
    Report(streams, invocation.pattern + ": " + source.Where() + ": " + message);
    return true;
}

// A bad pattern is reported as such, before any input is read (and even when
// there is none): one call on the empty subject compiles it, and the module
// keeps the compiled pattern for the real calls.
bool BadPattern(const LoadedModule& module, const Invocation& invocation, const char* pattern,
                CommandStreams streams) {
    const char empty[] = "";
    if (invocation.command == "match") module.MOLV_MATCH(pattern, empty);
    if (invocation.command == "subst") module.MOLV_SUBST(pattern, empty);
    if (invocation.command == "trans") module.MOLV_TRANS(pattern, empty);
    if (invocation.command == "split") module.MOLV_SPLIT(pattern, empty, invocation.limit);
    const char* message = module.MOLV_ERRORMSG();
    if (*message == 0) return false;
    Report(streams, invocation.pattern + ": " + message);
    return true;
}

// A position and the text it cuts out of the last subject, without a
// trailing blank when that text is empty. The position is copied first: the
// module answers in the same string that may hold it.
void WritePiece(const LoadedModule& module, const char* position, OutputBuffer& out) {
    StackPosition copy;
    const char* kept = copy.Set(position);
    const std::string_view text = module.MOLV_POSTOSTR(kept);
    out << std::string_view(kept);
    if (!text.empty()) out << ' ' << text;
}

// The cursor after a match: one line per group, numbered from 1; a group
// that took no part has no position and shows "-".
void WriteGroups(const LoadedModule& module, OutputBuffer& out) {
    for (long group = 1; module.MOLV_HASMORERESULTS() != 0; ++group) {
        const char* position = module.MOLV_GETNEXT();
        out << "  " << group << ' ';
        if (*position == 0) {
            out << '-';
        } else {
            WritePiece(module, position, out);
        }
        out << '\n';
    }
}

// The whole match and then every group, on one line.
void WritePositions(const LoadedModule& module, const char* whole, OutputBuffer& out) {
    out << whole;
    while (module.MOLV_HASMORERESULTS() != 0) {
        const char* position = module.MOLV_GETNEXT();
        out << ' ' << (*position == 0 ? "-" : position);
    }
    out << '\n';
}

// What one subject came to.
enum class Outcome { Matched, NothingMatched, Failed };

// The loop every command shares: the pattern copied and checked once, then
// each subject copied and handed to `each` with the pattern. The run stops
// at the first failure; it "matched" when any subject did.
template <typename Each>
int ForEachSubject(const LoadedModule& module, const Invocation& invocation, CommandStreams streams, Each each) {
    StackCopy patternCopy;
    StackCopy subjectCopy;
    const char* pattern = patternCopy.Set(invocation.pattern);
    if (BadPattern(module, invocation, pattern, streams)) return kFailed;
    SubjectSource source(invocation.subjects, streams.in);
    bool anyMatched = false;
    std::string_view line;
    while (source.Next(line)) {
        const Outcome outcome = each(pattern, subjectCopy.Set(line), line, source);
        if (outcome == Outcome::Failed) return kFailed;
        anyMatched = anyMatched || outcome == Outcome::Matched;
    }
    return anyMatched ? kMatched : kNothingMatched;
}

}  // namespace

int RunMatch(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    return ForEachSubject(module, invocation, streams, [&](const char* pattern, const char* subject,
                                                           std::string_view line, const SubjectSource& source) {
        const char* whole = module.MOLV_MATCH(pattern, subject);
        if (*whole == 0) {
            if (Failed(module, invocation, source, streams)) return Outcome::Failed;
            // Subjects keep one answer each, so a reader can line them up.
            if (!source.FromInput()) streams.out << (invocation.positions ? "\n" : "no match\n");
            return Outcome::NothingMatched;
        }
        if (source.FromInput() && !invocation.positions) {
            streams.out << line << '\n';  // like grep: the line itself
        } else if (invocation.positions) {
            if (source.FromInput()) streams.out << source.Number() << ' ';
            WritePositions(module, whole, streams.out);
        } else {
            WritePiece(module, whole, streams.out);
            streams.out << '\n';
            WriteGroups(module, streams.out);
        }
        return Outcome::Matched;
    });
}

namespace {

// Substitution and translation alike: every subject rewritten and printed.
// "Matched" means a result that differs from its subject; `confirm`, when
// set, settles an unchanged one (a replacement equal to what it replaced).
int RunRewrite(const LoadedModule& module, const Invocation& invocation, CommandStreams streams,
               decltype(&MOLV_SUBST) rewrite, bool (*confirm)(const LoadedModule&, const char*, const char*)) {
    bool settled = false;
    return ForEachSubject(module, invocation, streams, [&](const char* pattern, const char* subject,
                                                           std::string_view line, const SubjectSource& source) {
        const std::string_view result = rewrite(pattern, subject);
        if (result.empty() && Failed(module, invocation, source, streams)) return Outcome::Failed;
        streams.out << result << '\n';
        // Once settled, later lines are only rewritten: at most one extra
        // call per line before the first match, none after it.
        if (!settled) {
            settled = result != line || (confirm != nullptr && confirm(module, pattern, subject));
        }
        return settled ? Outcome::Matched : Outcome::NothingMatched;
    });
}

// A match with the same pattern reuses its compiled record.
bool MatchesToo(const LoadedModule& module, const char* pattern, const char* subject) {
    return module.MOLV_MATCH(pattern, subject)[0] != 0;
}

}  // namespace

int RunSubst(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    return RunRewrite(module, invocation, streams, module.MOLV_SUBST, MatchesToo);
}

// The module does not hand out tr's count, so "matched" can only mean
// "changed something".
int RunTrans(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    return RunRewrite(module, invocation, streams, module.MOLV_TRANS, nullptr);
}

int RunSplit(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    StackPosition position;
    return ForEachSubject(module, invocation, streams, [&](const char* pattern, const char* subject,
                                                           std::string_view, const SubjectSource& source) {
        // -1 means no pieces at all (an empty subject), or a failure.
        if (module.MOLV_SPLIT(pattern, subject, invocation.limit) < 0) {
            return Failed(module, invocation, source, streams) ? Outcome::Failed : Outcome::NothingMatched;
        }
        while (module.MOLV_HASMORERESULTS() != 0) {
            const char* next = position.Set(module.MOLV_GETNEXT());
            streams.out << (invocation.positions ? next : module.MOLV_POSTOSTR(next)) << '\n';
        }
        return Outcome::Matched;
    });
}
