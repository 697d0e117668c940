#include "pattern_engine.h"

namespace regexlib {

EngineKind EngineFor(TextEncoding encoding) {
    return encoding == TextEncoding::ShiftJis ? EngineKind::Oniguruma : EngineKind::Pcre2;
}

std::unique_ptr<PatternEngine> CompilePattern(EngineKind kind, const std::string& pattern,
                                              const PatternOptions& options,
                                              std::string& message) {
    if (kind == EngineKind::Oniguruma) return CompileOniguruma(pattern, options, message);
    return CompilePcre2(pattern, options, message);
}

}  // namespace regexlib
