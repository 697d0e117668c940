// The texts the benchmarks share: with the perl scripts that time the same
// work, a 1 MiB text made of one line repeated; between the programs that
// time a cached match, the PCRE2 rows' pattern and subjects, and the host's
// heap copy of a text.
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
