// A substitution's replacement, compiled once into literal runs and group
// references ($&, $1, ${12}, \1) and expanded after every match. The program
// is owned by its record; expanding a group that took no part inserts nothing.
// Escapes that name characters (\n, \0, \x41, \x{263A}, \012) are written
// in the operator's encoding when compiled.
#pragma once

#include <string>
#include <vector>

#include "output_buffer.h"
#include "pattern_engine.h"
#include "text_encoding.h"

namespace regexlib {

class ReplacementProgram {
public:
    // Every text is a valid replacement (an unknown escape is its character,
    // a lone $ is literal) but one with an escape that names a character the
    // encoding cannot write, such as \x{D800} under UTF-8 or \x{100} in
    // bytes: that answers false with a message.
    bool Compile(const std::string& text, TextEncoding encoding, std::string& message);

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
