// The texts the benchmarks share: with the perl scripts that time the same
// work, a 1 MiB text made of one line repeated; between the programs that
// time a cached match, the PCRE2 rows' pattern and subjects, the long texts
// of the fallback rows, and the host's heap copy of a text.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

inline const std::string& MebibyteText() {
    static const std::string text = [] {
        const std::string line =
            "The quick brown fox jumps over the lazy dog, 0123456789; alpha,beta,gamma\n";
        std::string built;
        while (built.size() < (1u << 20)) built += line;
        built.resize(1u << 20);
        return built;
    }();
    return text;
}

// A host's own copy of a text, in its heap: never on the calling thread's
// stack (a short std::string keeps its characters inside itself).
class HeapText {
public:
    explicit HeapText(const std::string& text) : chars(new char[text.size() + 1]) {
        std::memcpy(chars.get(), text.c_str(), text.size() + 1);
    }
    const char* c_str() const { return chars.get(); }

private:
    std::unique_ptr<char[]> chars;
};

// Near-miss filler, then the match at the very end: the engines scan it all.
inline std::string SubjectOf(std::size_t size, const std::string& tail, const std::string& filler) {
    std::string text;
    while (text.size() + tail.size() < size) text += filler;
    text.resize(size - tail.size());
    return text + tail;
}

// The PCRE2 rows: the pattern for PCRE2 and as our library's operator text,
// and the subject's match at its end and the filler before it.
inline constexpr char kPcrePattern[] = "(\\d+)-(\\d+)";
inline constexpr char kPcreOperator[] = "m/(\\d+)-(\\d+)/";
inline const std::string kPcreTail = " order 12-345";
inline const std::string kPcreFiller = "the quick brown fox jumps 1 over 2 the lazy dog ";

// The fallback rows: long texts where PCRE2's JIT stops on a limit (its
// stack, or its match limit) and the search is answered again, by the
// linear engine or, for the backreference, PCRE2's interpreter.
struct FallbackCase {
    const char* operatorText;
    const char* pattern;
    std::string (*subject)();
};

inline std::string Repeated(const std::string& piece, int times) {
    std::string text;
    text.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

inline const FallbackCase kAlternationLoop{"m/(a|b)*c/", "(a|b)*c", [] { return Repeated("ab", 300000) + "c"; }};
inline const FallbackCase kQuoted{"m/\"(?:[^\"\\\\]|\\\\.)*\"/", "\"(?:[^\"\\\\]|\\\\.)*\"",
                                  [] { return "\"" + Repeated("abc\\\"def", 75000) + "\""; }};
inline const FallbackCase kFields{"m/^(?:([^,]*),)*x$/", "^(?:([^,]*),)*x$", [] { return Repeated("field,", 66000) + "x"; }};
inline const FallbackCase kWords10k{"m/^(\\w+\\s?)*$/", "^(\\w+\\s?)*$", [] { return Repeated("word ", 10000) + "!"; }};
inline const FallbackCase kWords100k{"m/^(\\w+\\s?)*$/", "^(\\w+\\s?)*$", [] { return Repeated("word ", 100000) + "!"; }};
// Not regular: PCRE2's interpreter answers, with its heap budget.
inline const FallbackCase kBackreference{"m/^(?:(a)|b)*x\\1$/", "^(?:(a)|b)*x\\1$",
                                         [] { return Repeated("ab", 200000) + "xa"; }};

// Each case with its row name, for programs that time them all in turn.
struct NamedFallbackCase {
    const char* name;
    const FallbackCase& fallback;
};
inline const NamedFallbackCase kFallbackCases[] = {
    {"AlternationLoop", kAlternationLoop}, {"Quoted", kQuoted},       {"Fields", kFields},
    {"Words10k", kWords10k},               {"Words100k", kWords100k}, {"Backreference", kBackreference}};
