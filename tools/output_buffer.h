// Output to a file descriptor through one large buffer: a filter's lines
// leave in few large writes instead of one call per piece. A failed write
// is remembered, later output is dropped, and Flush answers false from then
// on. What is still in the buffer at the end is written only by Flush.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

class OutputBuffer {
public:
    explicit OutputBuffer(int descriptor);
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    OutputBuffer& operator<<(std::string_view text);
    OutputBuffer& operator<<(char byte);
    OutputBuffer& operator<<(long number);

    // Writes out what is buffered; false once any write has failed.
    bool Flush();

private:
    void WriteAll(const char* bytes, std::size_t size);

    int descriptor;
    std::unique_ptr<char[]> buffer;
    std::size_t used = 0;
    bool failed = false;
};
