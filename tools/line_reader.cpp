#include "line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Large enough that a read returns all a pipe holds and a file is read in
// few calls; a longer line makes the block grow.
constexpr std::size_t kBlockSize = 1 << 20;

}  // namespace

LineReader::LineReader(int descriptor, std::function<void()> beforeRead)
    : descriptor(descriptor),
      beforeRead(std::move(beforeRead)),
      block(new char[kBlockSize]),
      capacity(kBlockSize) {}

bool LineReader::Next(std::string_view& line) {
    for (;;) {
        const char* first = block.get() + start;
        const std::size_t length = end - start;
        const void* newline = std::memchr(first + searched, '\n', length - searched);
        if (newline != nullptr) {
            Take(static_cast<std::size_t>(static_cast<const char*>(newline) - first), 1, line);
            return true;
        }
        searched = length;
        if (atEnd || !Refill()) break;
    }
    // What is left after the last newline is the last line, if anything.
    if (start == end) return false;
    Take(end - start, 0, line);
    return true;
}

void LineReader::Take(std::size_t length, std::size_t newlines, std::string_view& line) {
    line = std::string_view(block.get() + start, length);
    start += length + newlines;
    searched = 0;
}

// Moves the unfinished line to the front of the block (a larger block when
// it fills the whole one) and reads after it. False at the end of the input.
bool LineReader::Refill() {
    const std::size_t kept = end - start;
    if (kept == capacity) {
        std::unique_ptr<char[]> larger(new char[2 * capacity]);
        std::memcpy(larger.get(), block.get() + start, kept);
        block = std::move(larger);
        capacity *= 2;
    } else {
        std::memmove(block.get(), block.get() + start, kept);
    }
    start = 0;
    end = kept;
    if (beforeRead) beforeRead();
    ssize_t got;
    do {
        got = read(descriptor, block.get() + end, capacity - end);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        atEnd = true;
        return false;
    }
    end += static_cast<std::size_t>(got);
    return true;
}
