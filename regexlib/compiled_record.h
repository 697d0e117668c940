// The library's private state behind one bregexp record: the parsed operator,
// its compiled engine, replacement program or translation table, and the
// buffers the record's public words point into. Hung off the record's
// libraryData and freed with it by FreeRecord alone; compiling answers null
// with a message and leaves nothing allocated.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bregexp.h"
#include "operator_text.h"
#include "output_buffer.h"
#include "pattern_engine.h"
#include "replacement.h"
#include "translation.h"

namespace regexlib {

struct CompiledRecord {
    // Tells this library's records from anything else a caller hands in.
    static constexpr std::uint32_t kTag = 0x42524558;  // "BREX"
    std::uint32_t tag = kTag;
    // A record that matches with a subject that needs no check (not UTF-8):
    // BMatch can search with it at once when the caller passes no text.
    bool quickMatch = false;

    std::string sourceText;  // the operator text the record was compiled from
    ParsedOperator parsed;
    std::unique_ptr<PatternEngine> engine;       // m// and s///
    std::unique_ptr<PatternEngine> splitEngine;  // split /^/ reads as /^/m, made on first need
    ReplacementProgram replacement;              // s///
    std::unique_ptr<TranslationTable> translation;  // tr///, made for those alone
    int splitByte = -1;  // a separator of one literal byte, split with memchr

    // What the record's public words point into: the groups' starts, then
    // their ends (sized once), the split pieces and the output text.
    std::vector<char*> groups;
    std::vector<char*> splitPairs;
    OutputBuffer output;
};

// Compiles an operator text into a new record, or answers null with a message.
bregexp* CompileRecord(const char* text, std::string& message);

// This library's state behind a record, or null when it is not one of ours.
// Inline: every call with a cached record starts here.
inline CompiledRecord* StateOf(bregexp* record) {
    if (record == nullptr || record->libraryData == nullptr) return nullptr;
    auto* state = static_cast<CompiledRecord*>(record->libraryData);
    return state->tag == CompiledRecord::kTag ? state : nullptr;
}

void FreeRecord(bregexp* record);

// The pattern options an operator's flags ask for.
PatternOptions OptionsOf(const OperatorFlags& flags);

// The single literal byte a pattern stands for (such as "," or "\|"), or -1.
int LiteralSeparatorByte(const ParsedOperator& parsed);

}  // namespace regexlib
