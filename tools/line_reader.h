// The lines of a file descriptor, read in large blocks: each line is a view
// into the block, without its newline, valid until the next call of Next. A
// line may be of any length (the block grows to hold it); a last line
// without a newline still counts. Before it reads, the reader calls the
// given hook, so a filter can write out what it has before it may wait for
// more input.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

class LineReader {
public:
    explicit LineReader(int descriptor, std::function<void()> beforeRead = {});

    // False at the end of the input (a read error counts as its end).
    bool Next(std::string_view& line);

private:
    bool Refill();
    void Take(std::size_t length, std::size_t newlines, std::string_view& line);

    int descriptor;
    std::function<void()> beforeRead;
    std::unique_ptr<char[]> block;
    std::size_t capacity;
    std::size_t start = 0;     // the first byte not yet handed out
    std::size_t searched = 0;  // bytes from start known to hold no newline
    std::size_t end = 0;       // one past the last byte read
    bool atEnd = false;
};
