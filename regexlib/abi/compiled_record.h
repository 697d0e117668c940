// abi/ is the library's top layer, what the callers of bregexp.dll see: the
// entry points of bregexp.h, defined in entry_points.cpp (the build makes
// the linker's export lists from that header's list), and the records they
// hand out and take back (this header). It builds on every layer below:
// Perl's operators (perl/), the engines (engines/) and the encodings
// (encoding/). The module loads the library and looks the entry points up
// by name; the library's own tests and benchmarks link them directly.
//
// The library's private state behind one bregexp record: the compiled
// operator it shares with every live record of the same text, its own
// engines on that operator's code, and the buffers the record's public words
// point into. Hung off the record's libraryData and freed with it by
// FreeRecord alone; compiling answers null with a message and leaves nothing
// allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bregexp.h"
#include "encoding/output_text.h"
#include "engines/pattern_engine.h"
#include "perl/operator_text.h"
#include "perl/replacement.h"
#include "perl/translation.h"

namespace regexlib {

// What compiling an operator text makes, read only from then on: records of
// the same text share it, and may search with it on several threads at once.
struct CompiledOperator {
    std::string sourceText;  // the operator text it was compiled from
    ParsedOperator parsed;
    // m// and s///: the code each record searches through a Twin of its own;
    // this engine itself is never searched.
    std::unique_ptr<PatternEngine> engine;
    std::unique_ptr<PatternEngine> splitEngine;  // split /^/ reads as /^/m; null for other patterns
    ReplacementProgram replacement;              // s///
    std::unique_ptr<TranslationTable> translation;  // tr///, made for those alone
    int splitByte = -1;  // a separator of one literal byte, split with memchr
};

struct CompiledRecord {
    // Tells this library's records from anything else a caller hands in.
    static constexpr std::uint32_t kTag = 0x42524558;  // "BREX"
    std::uint32_t tag = kTag;
    // A record that matches with a subject that needs no check (not UTF-8):
    // the match entry point can search with it at once when the caller
    // passes no text.
    bool quickMatch = false;

    std::shared_ptr<const CompiledOperator> compiled;
    // Twins of the compiled engines: what a search writes is the record's own.
    std::unique_ptr<PatternEngine> engine;
    std::unique_ptr<PatternEngine> splitEngine;  // made on first need

    // What the record's public words point into: the groups' starts, then
    // their ends (sized once), the split pieces and the output text.
    std::vector<char*> groups;
    std::vector<char*> splitPairs;
    OutputText output;
};

// A new record for an operator text, on the compiled operator that live
// records of the same text already share (compiled now when none does), or
// null with a message.
bregexp* CompileRecord(const char* text, std::string& message);

// This library's state behind a record, or null when it is not one of ours.
// Inline: every call with a cached record starts here.
inline CompiledRecord* StateOf(bregexp* record) {
    if (record == nullptr || record->libraryData == nullptr) return nullptr;
    auto* state = static_cast<CompiledRecord*>(record->libraryData);
    return state->tag == CompiledRecord::kTag ? state : nullptr;
}

void FreeRecord(bregexp* record);

// The compiled operator of `text` a live record already holds, or a new one
// compiled now; null with a message when the text does not compile. The last
// record to let go of an operator frees it and its entry in the process-wide
// table, which thus holds nothing but what live records hold.
std::shared_ptr<const CompiledOperator> HoldCompiledOperator(const char* text, std::string& message);

// The number of compiled operators live records hold, for tests.
std::size_t CompiledOperatorsHeld();

// The pattern options an operator's flags ask for.
PatternOptions OptionsOf(const OperatorFlags& flags);

// The single literal byte a pattern stands for (such as "," or "\|"), or -1.
int LiteralSeparatorByte(const ParsedOperator& parsed);

}  // namespace regexlib
