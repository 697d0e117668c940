// The services of platform.h on Windows: the real Win32 calls, reached
// through the library-call table so tests can stand in for them.
#ifdef _WIN32

#include "platform/platform.h"

#include <cstdarg>

namespace platform {
namespace {

ModuleHandle SystemLoad(const char* fileName) { return ::LoadLibraryA(fileName); }

ProcAddress SystemResolve(ModuleHandle library, const char* name) {
    // FARPROC and ProcAddress are both plain function pointers.
    return reinterpret_cast<ProcAddress>(::GetProcAddress(library, name));
}

Bool SystemRelease(ModuleHandle library) { return ::FreeLibrary(library); }

}  // namespace

const LibraryCalls& systemLibraryCalls() {
    static const LibraryCalls calls{SystemLoad, SystemResolve, SystemRelease};
    return calls;
}

std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer, std::uint32_t size) {
    return ::GetModuleFileNameA(module, buffer, size);
}

Bool IsBadStringPtrA(const char* text, std::uintptr_t max) { return ::IsBadStringPtrA(text, max); }

Bool IsBadReadPtr(const void* address, std::uintptr_t size) { return ::IsBadReadPtr(address, size); }

int lstrlenA(const char* text) { return ::lstrlenA(text); }

int lstrcmpA(const char* a, const char* b) { return ::lstrcmpA(a, b); }

int lstrcmpiA(const char* a, const char* b) { return ::lstrcmpiA(a, b); }

int wsprintfA(char* buffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = ::wvsprintfA(buffer, format, args);
    va_end(args);
    return written;
}

}  // namespace platform

#endif  // _WIN32
