#include "output_buffer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kBufferSize = 1 << 18;

}  // namespace

OutputBuffer::OutputBuffer(int descriptor) : descriptor(descriptor), buffer(new char[kBufferSize]) {}

OutputBuffer& OutputBuffer::operator<<(std::string_view text) {
    if (text.size() > kBufferSize - used) {
        Flush();
        // A text as large as the buffer gains nothing from a copy.
        if (text.size() >= kBufferSize) {
            WriteAll(text.data(), text.size());
            return *this;
        }
    }
    std::memcpy(buffer.get() + used, text.data(), text.size());
    used += text.size();
    return *this;
}

OutputBuffer& OutputBuffer::operator<<(char byte) {
    if (used == kBufferSize) Flush();
    buffer[used++] = byte;
    return *this;
}

OutputBuffer& OutputBuffer::operator<<(long number) {
    return *this << std::string_view(std::to_string(number));
}

bool OutputBuffer::Flush() {
    WriteAll(buffer.get(), used);
    used = 0;
    return !failed;
}

void OutputBuffer::WriteAll(const char* bytes, std::size_t size) {
    while (size > 0 && !failed) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failed = true;
            return;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}
