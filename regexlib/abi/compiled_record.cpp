#include "abi/compiled_record.h"

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace regexlib {
namespace {

bool CompileParts(CompiledOperator& compiled, std::string& message) {
    const ParsedOperator& parsed = compiled.parsed;
    if (parsed.kind == OperatorKind::Translate) {
        const TranslationFlags flags{parsed.flags.complement, parsed.flags.deleteUnmatched,
                                     parsed.flags.squeeze};
        compiled.translation = std::make_unique<TranslationTable>();
        return compiled.translation->Compile(parsed.pattern, parsed.replacement, flags,
                                             parsed.flags.encoding, message);
    }
    compiled.engine = CompilePattern(parsed.pattern, OptionsOf(parsed.flags), message);
    if (compiled.engine == nullptr) return false;
    if (parsed.kind == OperatorKind::Substitute) {
        if (parsed.singleQuoted) {
            compiled.replacement.CompileSingleQuoted(parsed.replacement, parsed.flags.encoding);
        } else if (!compiled.replacement.Compile(parsed.replacement, parsed.flags.encoding, *compiled.engine,
                                                 message)) {
            return false;
        }
    }
    // Made here rather than on a record's first split, so that the shared
    // operator never changes once records hold it.
    if (parsed.pattern == "^" && !parsed.flags.multiline) {
        PatternOptions options = OptionsOf(parsed.flags);
        options.multiline = true;
        compiled.splitEngine = CompilePattern("^", options, message);
        if (compiled.splitEngine == nullptr) return false;
    }
    compiled.splitByte = LiteralSeparatorByte(parsed);
    return true;
}

std::unique_ptr<CompiledOperator> CompileOperator(const char* text, std::string& message) {
    auto compiled = std::make_unique<CompiledOperator>();
    compiled->sourceText = text;
    if (!ParseOperator(text, compiled->parsed, message) || !CompileParts(*compiled, message)) return nullptr;
    return compiled;
}

// The compiled operators live records hold, by their text. Its lock is
// taken only to find or add an operator for a record being compiled and to
// remove one its last record let go of; searches never touch it.
class OperatorTable {
public:
    std::shared_ptr<const CompiledOperator> Find(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = held_.find(text);
        return found == held_.end() ? nullptr : found->second.lock();
    }

    // Adds a newly compiled operator, unless another thread added one of the
    // same text meanwhile: then that one is answered and this one dropped,
    // after the lock is released (declared before it), as LetGo takes it.
    std::shared_ptr<const CompiledOperator> Add(std::unique_ptr<CompiledOperator> compiled) {
        std::shared_ptr<const CompiledOperator> added(compiled.release(), LetGo);
        std::lock_guard<std::mutex> lock(mutex_);
        std::weak_ptr<const CompiledOperator>& slot = held_[added->sourceText];
        if (std::shared_ptr<const CompiledOperator> earlier = slot.lock()) return earlier;
        slot = added;
        return added;
    }

    std::size_t Size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return held_.size();
    }

private:
    // Runs when the last record holding `compiled` lets go of it. Its entry
    // may already name a newer operator of the same text, compiled after
    // this one's count reached zero, which stays.
    static void LetGo(const CompiledOperator* compiled);

    std::mutex mutex_;
    // A std::map holds no memory once empty.
    std::map<std::string, std::weak_ptr<const CompiledOperator>> held_;
};

// Never destroyed: a host may free its records while the process exits,
// after this library's static objects are gone. Once the records are freed
// the table holds no memory.
OperatorTable& Operators() {
    alignas(OperatorTable) static unsigned char storage[sizeof(OperatorTable)];
    static OperatorTable* const table = new (storage) OperatorTable;
    return *table;
}

void OperatorTable::LetGo(const CompiledOperator* compiled) {
    {
        OperatorTable& table = Operators();
        std::lock_guard<std::mutex> lock(table.mutex_);
        const auto found = table.held_.find(compiled->sourceText);
        if (found != table.held_.end() && found->second.expired()) table.held_.erase(found);
    }
    delete compiled;
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
    options.extendedMore = flags.extendedMore;
    options.noAutoCapture = flags.noAutoCapture;
    options.asciiLevel = flags.asciiLevel;
    options.encoding = flags.encoding;
    return options;
}

std::shared_ptr<const CompiledOperator> HoldCompiledOperator(const char* text, std::string& message) {
    if (std::shared_ptr<const CompiledOperator> held = Operators().Find(text)) return held;
    // Compiled outside the lock, so that threads compiling different texts
    // do not wait for each other.
    std::unique_ptr<CompiledOperator> compiled = CompileOperator(text, message);
    if (compiled == nullptr) return nullptr;
    return Operators().Add(std::move(compiled));
}

std::size_t CompiledOperatorsHeld() { return Operators().Size(); }

bregexp* CompileRecord(const char* text, std::string& message) {
    auto state = std::make_unique<CompiledRecord>();
    state->compiled = HoldCompiledOperator(text, message);
    if (state->compiled == nullptr) return nullptr;
    const CompiledOperator& compiled = *state->compiled;
    if (compiled.engine != nullptr) {
        state->engine = compiled.engine->Twin();
        if (state->engine == nullptr) {
            message = "out of memory";
            return nullptr;
        }
    }
    const int groups = state->engine != nullptr ? state->engine->GroupCount() : 0;
    auto record = std::make_unique<bregexp>();
    *record = bregexp{};
    record->groupCount = groups;
    if (state->engine != nullptr) {
        state->groups.assign(2 * (static_cast<std::size_t>(groups) + 1), nullptr);
        record->groupStarts = state->groups.data();
        record->groupEnds = state->groups.data() + groups + 1;
    }
    state->quickMatch = state->engine != nullptr && compiled.parsed.flags.encoding != TextEncoding::Utf8;
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
