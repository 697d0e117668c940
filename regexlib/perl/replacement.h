// A substitution's replacement, compiled once into literal runs and group
// references and expanded after every match, as Perl expands a double-quoted
// string: $& $1 ${12} \1, $` and $' (the text before and after the match),
// $+ (the highest-numbered group that took part), $+{name} and ${name}; the
// case escapes \U \L \u \l \F \Q ... \E applied to literal text and groups
// alike. The program is owned by its record; a group that took no part
// inserts nothing. Escapes that name characters (\n, \0, \x41, \x{263A},
// \012, \cA, \N{U+263A}) are written in the operator's encoding when compiled.
#pragma once

#include <string>
#include <vector>

#include "encoding/output_text.h"
#include "encoding/text_encoding.h"
#include "engines/pattern_engine.h"

namespace regexlib {

class ReplacementProgram {
public:
    // Every text is a valid replacement (an unknown escape is its character,
    // a lone $ is literal) but one with an escape that names a character the
    // encoding cannot write, such as \x{D800} under UTF-8 or \x{100} in
    // bytes: that answers false with a message. Group names are looked up
    // in `engine`, the pattern the replacement belongs to.
    bool Compile(const std::string& text, TextEncoding encoding, const PatternEngine& engine,
                 std::string& message);

    // s'...'...': the text as Perl reads single quotes, where "\\" is one
    // backslash and nothing else is special.
    void CompileSingleQuoted(const std::string& text, TextEncoding encoding);

    // Appends the replacement for the engine's current match in the subject
    // [subject, subjectEnd).
    void Expand(const char* subject, const char* subjectEnd, const PatternEngine& engine,
                OutputText& out) const;

private:
    // What a piece inserts when it is no group number (>= 0).
    enum PieceKind : int {
        kLiteral = -1,      // literals_[offset, offset + length)
        kBeforeMatch = -2,  // $`
        kAfterMatch = -3,   // $'
        kLastGroup = -4,    // $+
        kNamedGroup = -5,   // the first set of namedGroups_[offset, offset + length)
        kCaseStart = -6,    // \U \L \u \l \F \Q: offset holds the letter
        kCaseEnd = -7,      // the end of the innermost case escape
    };
    struct Piece {
        int group;  // a group number, or a PieceKind
        // A literal run, or the end of a case escape, that makes Perl's
        // string a character string, for the case escapes' choice of rules
        // (see case_mapping.h).
        bool unicode;
        std::size_t offset;
        std::size_t length;
    };

    void Reset(TextEncoding encoding);
    void AddLiteral(const char* text, std::size_t length, bool unicode = false);
    void AddPiece(int group, std::size_t offset = 0, std::size_t length = 0);
    const char* ReadDollar(const char* at, const char* end, const PatternEngine& engine);
    const char* ReadGroupName(const char* at, const char* end, const PatternEngine& engine, bool keepUnknown);
    const char* ReadEscape(const char* at, const char* end);
    const char* ReadCharacter(const char* at, const char* end);
    const char* ReadCaseEscape(const char* at, const char* end);
    void StartCase(char letter);
    void EndCase(bool atTheEnd);
    void EndCaseEscape();
    void MarkFilled();
    GroupSpan SpanOf(const Piece& piece, const char* subject, const char* subjectEnd,
                          const PatternEngine& engine) const;
    void ExpandChangingCase(const char* subject, const char* subjectEnd, const PatternEngine& engine,
                            OutputText& out) const;

    std::string literals_;
    std::vector<Piece> pieces_;
    std::vector<int> namedGroups_;
    TextEncoding encoding_ = TextEncoding::Bytes;
    // The case escapes open while compiling, innermost last, as Perl's
    // lexer keeps them, and whether anything was put in each yet.
    struct OpenCase {
        char letter;
        bool filled;
    };
    std::vector<OpenCase> openCases_;
    bool endedEmpty_ = false;
    bool sawUnicodeText_ = false;  // a non-ASCII character of a decoded text
    // A program with case escapes expands the slow way.
    bool changesCase_ = false;
};

}  // namespace regexlib
