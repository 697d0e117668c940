// engines/ holds the regular-expression engines behind one interface,
// PatternEngine (this header): the PCRE2 adapter, which compiles byte and
// UTF-8 patterns with the JIT once perl_pattern.h has rewritten the Perl
// syntax PCRE2 would read otherwise, and the Shift_JIS adapter, which runs
// the PCRE2 one on the pattern and each subject converted to UTF-8. It
// builds on encoding/ and on PCRE2. Perl's operators (perl/) search through
// it; the entry points (abi/) compile through it and call its one-call
// match, which writes the caller's message buffer (message_buffer.h).
//
// The one interface the operators run on: a compiled pattern that searches a
// caller's subject range from a start offset and reports its groups as byte
// offsets. Each adapter holds its compiled code, which its twins share, and
// its own match state; compiling answers null with the engine's own message,
// a search answers Failed with one.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "encoding/text_encoding.h"

namespace regexlib {

// Perl's i, m, s, x, n, a and aa flags plus the text encoding.
struct PatternOptions {
    bool caseless = false;
    bool multiline = false;
    bool dotAll = false;
    bool extended = false;
    bool extendedMore = false;  // xx: also blanks and tabs in bracketed classes
    bool noAutoCapture = false;  // n: only named groups capture
    // a (1): Unicode's rules (bytes read as Latin-1) but \d \s \w \b and
    // POSIX classes match ASCII only; aa (2): also no caseless match between
    // an ASCII and a non-ASCII character.
    int asciiLevel = 0;
    TextEncoding encoding = TextEncoding::Bytes;
};

enum class SearchOutcome { Matched, NoMatch, Failed };

// A group's place in the subject as byte offsets; start < 0 for a group that
// took no part in the match.
struct GroupSpan {
    std::ptrdiff_t start = -1;
    std::ptrdiff_t end = -1;
};

class PatternEngine {
public:
    virtual ~PatternEngine() = default;

    // Searches [begin, end) from begin + startOffset; the bytes before the
    // start still count for lookbehind and \b. With notEmptyAtStart an empty
    // match at the start offset is refused (Perl's rule after an empty match).
    // The subject must already be valid in the pattern's encoding.
    virtual SearchOutcome Search(const char* begin, const char* end, std::size_t startOffset,
                                 bool notEmptyAtStart, std::string& message) = 0;

    // Called by each operation before its searches of one subject. An
    // engine that prepares a subject before searching it (converts it) may
    // reuse that work for searches of the same range until the next call;
    // the caller's bytes in that range may differ from call to call.
    virtual void NewSubject() {}

    // Number of capture groups, named ones included.
    virtual int GroupCount() const = 0;

    // Group 0 is the whole match; valid after Search answered Matched.
    virtual GroupSpan Group(int index) const = 0;

    // The numbers of the groups called `name`, ascending (Perl allows a name
    // on several groups); none for an unknown name, or an engine that does
    // not tell.
    virtual std::vector<int> GroupNumbers(const std::string& /*name*/) const { return {}; }

    // The whole of the match entry point's work in one call, which an
    // engine may do faster: searches all of [begin, end) and writes groups 0
    // to GroupCount() into `groups`, all their starts, then all their ends,
    // as pointers into the subject (null for an idle group, and for every
    // group after no match). Answers 1 for a match, 0 for none, or -1 after
    // writing the engine's message into the caller's message buffer (see
    // message_buffer.h).
    virtual int MatchGroups(const char* begin, const char* end, char** groups, char* message);

    // A new engine on this one's compiled code, read only once compiled, with
    // match state of its own: the two may search at the same time on
    // different threads. Costs an allocation, no compile; null when out of
    // memory.
    virtual std::unique_ptr<PatternEngine> Twin() const = 0;
};

// PCRE2 takes bytes and UTF-8.
std::unique_ptr<PatternEngine> CompilePcre2(const std::string& pattern,
                                            const PatternOptions& options,
                                            std::string& message);
// Shift_JIS patterns and subjects converted to UTF-8 for PCRE2, which then
// reads them with Unicode's properties as perl does the decoded text.
std::unique_ptr<PatternEngine> CompileShiftJisAsUnicode(const std::string& pattern,
                                                        const PatternOptions& options,
                                                        std::string& message);

// The library's engine for the options' encoding: Shift_JIS as Unicode for
// Shift_JIS, PCRE2 for the others.
std::unique_ptr<PatternEngine> CompilePattern(const std::string& pattern, const PatternOptions& options,
                                              std::string& message);

}  // namespace regexlib
