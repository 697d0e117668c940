// The Win32 services of platform.h on POSIX systems: libraries through the
// dynamic loader, memory probes through a kernel check that reports EFAULT
// instead of faulting, and the few string routines.
#ifndef _WIN32

#include "platform/platform.h"
#include "platform/decimal_digits.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <string>
#include <strings.h>

namespace platform {
namespace {

// The folder of the object this code is linked into, with a trailing slash.
std::string FolderOfThisObject() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&FolderOfThisObject), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

ModuleHandle SystemLoad(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    // A name without a slash goes through the loader's search, which includes
    // the RUNPATH of this shared object: a "bregexp.dll" beside it is found.
    if (ModuleHandle library = dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) return library;
    // A dlopen interposed by a tool (a sanitizer runtime) is searched as its
    // caller, without our RUNPATH; look beside this object ourselves then.
    if (std::strchr(fileName, '/') != nullptr) return nullptr;
    const std::string folder = FolderOfThisObject();
    return folder.empty() ? nullptr : dlopen((folder + fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
}

ProcAddress SystemResolve(ModuleHandle library, const char* name) {
    if (library == nullptr || name == nullptr) return nullptr;
    // dlsym hands back an object pointer; POSIX guarantees it converts to a
    // function pointer when the symbol is a function.
    return reinterpret_cast<ProcAddress>(dlsym(library, name));
}

Bool SystemRelease(ModuleHandle library) {
    return library != nullptr && dlclose(library) == 0;
}

// The kernel reads the new signal mask that rt_sigprocmask is given before
// it looks at `how`: with an invalid `how` the call answers EFAULT for an
// unreadable mask and EINVAL otherwise, and never changes the mask. It reads
// one aligned kernel sigset (8 bytes here), which never crosses a page, so
// one call tells whether the page holding `address` can be read. No signal
// handler and no other process-wide state is involved.
constexpr std::size_t kKernelSigsetBytes = (_NSIG - 1) / 8;
static_assert((kKernelSigsetBytes & (kKernelSigsetBytes - 1)) == 0, "a power of two");

bool PageIsReadable(const void* address) {
    constexpr long kInvalidHow = -1;
    const auto word = reinterpret_cast<std::uintptr_t>(address) & ~std::uintptr_t{kKernelSigsetBytes - 1};
    return syscall(SYS_rt_sigprocmask, kInvalidHow, word, nullptr, kKernelSigsetBytes) == 0 ||
           errno != EFAULT;
}

std::uintptr_t PageSize() {
    static const auto size = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return size;
}

std::uintptr_t NextPageStart(std::uintptr_t address) {
    return (address | (PageSize() - 1)) + 1;
}

// The thread's stack bounds, read once per thread. Initial-exec TLS keeps
// each check to a plain load instead of a call into the dynamic loader.
struct StackBounds {
    std::uintptr_t low = 0;
    std::uintptr_t top = 0;
};
thread_local StackBounds stackBounds __attribute__((tls_model("initial-exec")));

bool ReadStackBounds(StackBounds& bounds) {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return false;
    void* low = nullptr;
    std::size_t length = 0;
    pthread_attr_getstack(&attributes, &low, &length);
    pthread_attr_destroy(&attributes);
    bounds.low = reinterpret_cast<std::uintptr_t>(low);
    bounds.top = bounds.low + length;
    return true;
}

// The live part of the calling thread's stack, from the caller's frame up to
// the stack's top, is mapped and readable for as long as the call runs: a
// range inside it needs no kernel check. A call made on another stack than
// the thread's own (a fiber, a signal stack) always takes the kernel path.
bool OnLiveStack(const void* address, std::size_t size) {
    StackBounds& bounds = stackBounds;
    if (bounds.top == 0 && !ReadStackBounds(bounds)) return false;
    char frame;
    const auto here = reinterpret_cast<std::uintptr_t>(&frame);
    const auto start = reinterpret_cast<std::uintptr_t>(address);
    return here >= bounds.low && here < bounds.top && start >= here && start < bounds.top &&
           size <= bounds.top - start;
}

// One kernel check per page the range touches: protection is per page.
bool RangeIsReadable(const void* address, std::size_t size) {
    if (OnLiveStack(address, size)) return true;
    auto at = reinterpret_cast<std::uintptr_t>(address);
    const std::uintptr_t last = at + (size - 1);
    if (last < at) return false;   // wraps around the address space
    for (;;) {
        if (!PageIsReadable(reinterpret_cast<const void*>(at))) return false;
        const std::uintptr_t next = NextPageStart(at);
        if (next == 0 || next > last) return true;
        at = next;
    }
}

}  // namespace

const LibraryCalls& systemLibraryCalls() {
    static const LibraryCalls calls{SystemLoad, SystemResolve, SystemRelease};
    return calls;
}

std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer, std::uint32_t size) {
    if (module != nullptr || buffer == nullptr || size == 0) return 0;
    // Linux names the running program's file in /proc; readlink does not
    // terminate, and a result that fills the buffer may have been cut.
    const ssize_t length = readlink("/proc/self/exe", buffer, size);
    if (length <= 0) return 0;
    if (static_cast<std::uint32_t>(length) >= size) {
        buffer[size - 1] = 0;
        return size;
    }
    buffer[length] = 0;
    return static_cast<std::uint32_t>(length);
}

Bool IsBadReadPtr(const void* address, std::uintptr_t size) {
    if (size == 0) return 0;
    if (address == nullptr) return 1;
    return RangeIsReadable(address, size) ? 0 : 1;
}

Bool IsBadStringPtrA(const char* text, std::uintptr_t max) {
    if (max == 0) return 0;
    if (text == nullptr) return 1;
    // Up to the terminator or `max` bytes, as Windows does: each page is
    // checked once, then read directly up to its end.
    auto at = reinterpret_cast<std::uintptr_t>(text);
    std::uintptr_t left = max;
    for (;;) {
        if (!OnLiveStack(reinterpret_cast<const void*>(at), 1) &&
            !PageIsReadable(reinterpret_cast<const void*>(at))) {
            return 1;
        }
        const std::uintptr_t pageEnd = NextPageStart(at);
        for (; at != pageEnd; ++at) {
            if (*reinterpret_cast<const char*>(at) == 0 || --left == 0) return 0;
        }
    }
}

std::int32_t ReadableTextLength(const char* text) {
    if (text == nullptr) return -1;
    const auto start = reinterpret_cast<std::uintptr_t>(text);
    for (std::uintptr_t at = start;;) {
        if (!OnLiveStack(reinterpret_cast<const void*>(at), 1) &&
            !PageIsReadable(reinterpret_cast<const void*>(at))) {
            return -1;
        }
        // strnlen reads in aligned blocks, which may pass the bound it is
        // given but never the page that holds the bound's last byte: here the
        // page just checked. Sanitizers and Valgrind know its contract.
        const std::uintptr_t room = NextPageStart(at) - at;
        const std::size_t found = strnlen(reinterpret_cast<const char*>(at), room);
        const std::uintptr_t length = at - start + found;
        if (length > INT32_MAX) return -1;
        if (found < room) return static_cast<std::int32_t>(length);
        at += room;
    }
}

struct ThreadSlot {
    pthread_key_t key;
};

ThreadSlot* NewThreadSlot(void (*ended)(void*)) {
    auto* slot = new ThreadSlot;
    if (pthread_key_create(&slot->key, ended) == 0) return slot;
    delete slot;
    return nullptr;
}

void DeleteThreadSlot(ThreadSlot* slot) {
    if (slot == nullptr) return;
    pthread_key_delete(slot->key);
    delete slot;
}

void* GetThreadSlot(const ThreadSlot* slot) { return pthread_getspecific(slot->key); }

bool SetThreadSlot(ThreadSlot* slot, void* value) { return pthread_setspecific(slot->key, value) == 0; }

// The thread library runs the slot's `ended` itself.
void ThreadSlotEnded(ThreadSlot*) {}

// POSIX streams never translate line ends.
void UseBinaryStandardStreams() {}

int lstrlenA(const char* text) {
    return text == nullptr ? 0 : static_cast<int>(std::strlen(text));
}

int lstrcmpA(const char* a, const char* b) {
    const int order = std::strcmp(a != nullptr ? a : "", b != nullptr ? b : "");
    return (order > 0) - (order < 0);
}

int lstrcmpiA(const char* a, const char* b) {
    const int order = strcasecmp(a != nullptr ? a : "", b != nullptr ? b : "");
    return (order > 0) - (order < 0);
}

namespace {

// Numbers by the same hand-written digits as the module's position texts.
template <typename Put>
void PutDecimal(Put& put, unsigned magnitude, bool negative) {
    char digits[10];
    if (negative) put("-", 1);
    put(digits, static_cast<std::size_t>(WriteDecimal(digits, magnitude) - digits));
}

}  // namespace

int wsprintfA(char* buffer, const char* format, ...) {
    // Windows caps the output at 1024 bytes; a 32-bit 'l' differs from LP64.
    constexpr std::size_t kLimit = 1024;
    va_list args;
    va_start(args, format);
    std::size_t out = 0;
    auto put = [&](const char* text, std::size_t n) {
        for (std::size_t i = 0; i < n && out + 1 < kLimit; ++i) buffer[out++] = text[i];
    };
    for (const char* f = format; *f != 0; ++f) {
        if (*f != '%') { put(f, 1); continue; }
        ++f;
        while (*f == '-' || *f == 'l') ++f;
        switch (*f) {
        case 'u': PutDecimal(put, va_arg(args, unsigned), false); break;
        case 'd':
        case 'i': {
            const int value = va_arg(args, int);
            const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
            PutDecimal(put, magnitude, value < 0);
            break;
        }
        case 'c': { const char c = static_cast<char>(va_arg(args, int)); put(&c, 1); break; }
        case 's': { const char* s = va_arg(args, const char*); put(s, std::strlen(s)); break; }
        case '%': put(f, 1); break;
        default: va_end(args); buffer[out] = 0; return static_cast<int>(out);
        }
    }
    va_end(args);
    buffer[out] = 0;
    return static_cast<int>(out);
}

}  // namespace platform

#endif  // !_WIN32
