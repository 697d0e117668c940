#include "engines/pattern_engine.h"

#include "engines/message_buffer.h"

namespace regexlib {

int PatternEngine::MatchGroups(const char* begin, const char* end, char** groups, char* message) {
    std::string failure;
    const SearchOutcome outcome = Search(begin, end, 0, false, failure);
    if (outcome == SearchOutcome::Failed) {
        WriteMessage(message, failure);
        return -1;
    }
    const int count = GroupCount() + 1;
    for (int index = 0; index < count; ++index) {
        const GroupSpan span = outcome == SearchOutcome::Matched ? Group(index) : GroupSpan{};
        groups[index] = span.start < 0 ? nullptr : const_cast<char*>(begin + span.start);
        groups[count + index] = span.start < 0 ? nullptr : const_cast<char*>(begin + span.end);
    }
    return outcome == SearchOutcome::Matched ? 1 : 0;
}

std::unique_ptr<PatternEngine> CompilePattern(const std::string& pattern, const PatternOptions& options,
                                              std::string& message) {
    if (options.encoding == TextEncoding::ShiftJis) return CompileShiftJisAsUnicode(pattern, options, message);
    return CompilePcre2(pattern, options, message);
}

}  // namespace regexlib
