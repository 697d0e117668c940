// The texts the benchmarks share with the perl scripts that time the same
// work: a 1 MiB text made of one line repeated.
#pragma once

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
