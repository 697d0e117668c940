// A substitution's replacement, compiled once into literal runs and group
// references ($&, $1, ${12}, \1) and expanded after every match. The program
// is owned by its record; expanding a group that took no part inserts nothing.
#pragma once

#include <string>
#include <vector>

#include "output_buffer.h"
#include "pattern_engine.h"
#include "text_encoding.h"

namespace regexlib {

class ReplacementProgram {
public:
    // Never fails: every text is a valid replacement (an unknown escape is
    // its character, a lone $ is literal).
    void Compile(const std::string& text, TextEncoding encoding);

    // Appends the replacement for the engine's current match in `subject`.
    void Expand(const char* subject, const PatternEngine& engine, OutputBuffer& out) const;

private:
    struct Piece {
        int group;            // -1 for a literal run
        std::size_t offset;   // the run in literals_
        std::size_t length;
    };

    void AddLiteral(const char* text, std::size_t length);
    void AddGroup(int group);
    const char* ReadDollar(const char* at, const char* end);
    const char* ReadEscape(const char* at, const char* end, TextEncoding encoding);

    std::string literals_;
    std::vector<Piece> pieces_;
};

}  // namespace regexlib
