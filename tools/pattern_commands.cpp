#include "pattern_commands.h"

#include <string>

#include "exit_status.h"
#include "subject_source.h"

namespace {

// The module answers "" both for "nothing" and for a failure; only the
// library's message, "" after every successful call, tells them apart. It
// is asked only after an empty answer, and before any other call replaces it.
bool Failed(const LoadedModule& module, const Invocation& invocation, const SubjectSource& source,
            std::ostream& err) {
    const std::string message = module.ErrorMsg();
    if (message.empty()) return false;
    err << "molv: " << invocation.pattern << ": " << source.Where() << ": " << message << '\n';
    return true;
}

// A bad pattern is reported as such, before any input is read (and even when
// there is none): one call on the empty subject compiles it, and the module
// keeps the compiled pattern for the real calls.
bool BadPattern(const LoadedModule& module, const Invocation& invocation, std::ostream& err) {
    const char* pattern = invocation.pattern.c_str();
    if (invocation.command == "match") module.Match(pattern, "");
    if (invocation.command == "subst") module.Subst(pattern, "");
    if (invocation.command == "trans") module.Trans(pattern, "");
    if (invocation.command == "split") module.Split(pattern, "", invocation.limit);
    const std::string message = module.ErrorMsg();
    if (message.empty()) return false;
    err << "molv: " << invocation.pattern << ": " << message << '\n';
    return true;
}

// A position and the text it cuts out of the last subject, without a
// trailing blank when that text is empty.
void WritePiece(const LoadedModule& module, const std::string& position, std::ostream& out) {
    const std::string text = module.PosToStr(position.c_str());
    out << position;
    if (!text.empty()) out << ' ' << text;
}

// The cursor after a match: one line per group, numbered from 1; a group
// that took no part has no position and shows "-".
void WriteGroups(const LoadedModule& module, std::ostream& out) {
    for (int group = 1; module.HasMoreResults() != 0; ++group) {
        const std::string position = module.GetNext();
        out << "  " << group << ' ';
        if (position.empty()) {
            out << '-';
        } else {
            WritePiece(module, position, out);
        }
        out << '\n';
    }
}

// The whole match and then every group, on one line.
void WritePositions(const LoadedModule& module, const std::string& whole, std::ostream& out) {
    out << whole;
    while (module.HasMoreResults() != 0) {
        const std::string position = module.GetNext();
        out << ' ' << (position.empty() ? "-" : position);
    }
    out << '\n';
}

}  // namespace

int RunMatch(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    if (BadPattern(module, invocation, streams.err)) return kFailed;
    SubjectSource source(invocation.subjects, streams.in);
    const char* pattern = invocation.pattern.c_str();
    bool anyMatched = false;
    std::string subject;
    while (source.Next(subject)) {
        // Copied at once: the next text-returning export reuses the module's
        // one result string.
        const std::string whole = module.Match(pattern, subject.c_str());
        if (whole.empty()) {
            if (Failed(module, invocation, source, streams.err)) return kFailed;
            // Subjects keep one answer each, so a reader can line them up.
            if (!source.FromInput()) streams.out << (invocation.positions ? "\n" : "no match\n");
            continue;
        }
        anyMatched = true;
        if (source.FromInput() && !invocation.positions) {
            streams.out << subject << '\n';  // like grep: the line itself
        } else if (invocation.positions) {
            if (source.FromInput()) streams.out << source.Number() << ' ';
            WritePositions(module, whole, streams.out);
        } else {
            WritePiece(module, whole, streams.out);
            streams.out << '\n';
            WriteGroups(module, streams.out);
        }
    }
    return anyMatched ? kMatched : kNothingMatched;
}

namespace {

// Substitution and translation alike: every subject rewritten and printed.
// "Matched" means a result that differs from its subject; `confirm`, when
// set, settles an unchanged one (a replacement equal to what it replaced).
int RunRewrite(const LoadedModule& module, const Invocation& invocation, CommandStreams streams,
               decltype(&MOLV_SUBST) rewrite, bool (*confirm)(const LoadedModule&, const char*,
                                                              const std::string&)) {
    if (BadPattern(module, invocation, streams.err)) return kFailed;
    SubjectSource source(invocation.subjects, streams.in);
    const char* pattern = invocation.pattern.c_str();
    bool anyMatched = false;
    std::string subject;
    while (source.Next(subject)) {
        const std::string result = rewrite(pattern, subject.c_str());
        if (result.empty() && Failed(module, invocation, source, streams.err)) return kFailed;
        streams.out << result << '\n';
        // Asked only until the first match, so a long input costs at most
        // one extra call per line before that.
        if (!anyMatched) {
            anyMatched = result != subject || (confirm != nullptr && confirm(module, pattern, subject));
        }
    }
    return anyMatched ? kMatched : kNothingMatched;
}

// A match with the same pattern reuses its compiled record.
bool MatchesToo(const LoadedModule& module, const char* pattern, const std::string& subject) {
    return module.Match(pattern, subject.c_str())[0] != 0;
}

}  // namespace

int RunSubst(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    return RunRewrite(module, invocation, streams, module.Subst, MatchesToo);
}

// The module does not hand out tr's count, so "matched" can only mean
// "changed something".
int RunTrans(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    return RunRewrite(module, invocation, streams, module.Trans, nullptr);
}

int RunSplit(const LoadedModule& module, const Invocation& invocation, CommandStreams streams) {
    if (BadPattern(module, invocation, streams.err)) return kFailed;
    SubjectSource source(invocation.subjects, streams.in);
    const char* pattern = invocation.pattern.c_str();
    bool anyPieces = false;
    std::string subject;
    while (source.Next(subject)) {
        // -1 means no pieces at all (an empty subject), or a failure.
        if (module.Split(pattern, subject.c_str(), invocation.limit) < 0) {
            if (Failed(module, invocation, source, streams.err)) return kFailed;
            continue;
        }
        anyPieces = true;
        while (module.HasMoreResults() != 0) {
            const std::string position = module.GetNext();
            streams.out << (invocation.positions ? position : std::string(module.PosToStr(position.c_str())))
                        << '\n';
        }
    }
    return anyPieces ? kMatched : kNothingMatched;
}
