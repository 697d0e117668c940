#include "compiled_record.h"

#include <cstring>

namespace regexlib {
namespace {

bool CompileParts(CompiledRecord& state, std::string& message) {
    const ParsedOperator& parsed = state.parsed;
    if (parsed.kind == OperatorKind::Translate) {
        const TranslationFlags flags{parsed.flags.complement, parsed.flags.deleteUnmatched,
                                     parsed.flags.squeeze};
        state.translation = std::make_unique<TranslationTable>();
        return state.translation->Compile(parsed.pattern, parsed.replacement, flags,
                                          parsed.flags.encoding, message);
    }
    state.engine = CompilePattern(parsed.pattern, OptionsOf(parsed.flags), message);
    if (state.engine == nullptr) return false;
    if (parsed.kind == OperatorKind::Substitute) {
        if (parsed.singleQuoted) {
            state.replacement.CompileSingleQuoted(parsed.replacement, parsed.flags.encoding);
        } else if (!state.replacement.Compile(parsed.replacement, parsed.flags.encoding, *state.engine, message)) {
            return false;
        }
    }
    state.splitByte = LiteralSeparatorByte(parsed);
    return true;
}

bool IsRegexMetacharacter(char c) { return std::strchr("\\^$.|?*+()[]{}", c) != nullptr; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

int LiteralSeparatorByte(const ParsedOperator& parsed) {
    const std::string& pattern = parsed.pattern;
    const OperatorFlags& flags = parsed.flags;
    // x would make white space and '#' mean something else.
    if (flags.extended) return -1;
    char byte = 0;
    if (pattern.size() == 1 && !IsRegexMetacharacter(pattern[0])) {
        byte = pattern[0];
    } else if (pattern.size() == 2 && pattern[0] == '\\' && IsRegexMetacharacter(pattern[1])) {
        byte = pattern[1];
    } else {
        return -1;
    }
    const auto value = static_cast<unsigned char>(byte);
    // A letter under i matches two bytes (a Latin-1 one too under a); a
    // non-ASCII byte is not a whole character in UTF-8; in Shift_JIS a byte
    // from 0x40 up may be the second half of a double-byte character, which
    // memchr cannot tell.
    if (flags.caseless && (IsAsciiLetter(byte) || value >= 0x80)) return -1;
    if (flags.encoding == TextEncoding::Utf8 && value >= 0x80) return -1;
    if (flags.encoding == TextEncoding::ShiftJis && value >= 0x40) return -1;
    return value;
}

PatternOptions OptionsOf(const OperatorFlags& flags) {
    PatternOptions options;
    options.caseless = flags.caseless;
    options.multiline = flags.multiline;
    options.dotAll = flags.dotAll;
    options.extended = flags.extended;
    options.noAutoCapture = flags.noAutoCapture;
    options.asciiLevel = flags.asciiLevel;
    options.encoding = flags.encoding;
    return options;
}

bregexp* CompileRecord(const char* text, std::string& message) {
    auto state = std::make_unique<CompiledRecord>();
    state->sourceText = text;
    if (!ParseOperator(text, state->parsed, message) || !CompileParts(*state, message)) return nullptr;
    const int groups = state->engine != nullptr ? state->engine->GroupCount() : 0;
    auto record = std::make_unique<bregexp>();
    *record = bregexp{};
    record->groupCount = groups;
    if (state->engine != nullptr) {
        state->groups.assign(2 * (static_cast<std::size_t>(groups) + 1), nullptr);
        record->groupStarts = state->groups.data();
        record->groupEnds = state->groups.data() + groups + 1;
    }
    state->quickMatch = state->engine != nullptr && state->parsed.flags.encoding != TextEncoding::Utf8;
    record->outputText = state->output.Terminated();
    record->outputEnd = record->outputText;
    record->libraryData = state.release();
    return record.release();
}

void FreeRecord(bregexp* record) {
    CompiledRecord* state = StateOf(record);
    if (state == nullptr) return;
    delete state;
    delete record;
}

}  // namespace regexlib
