// The services of platform.h on Windows: the real Win32 calls, reached
// through the library-call table so tests can stand in for them.
#ifdef _WIN32

#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace platform {
namespace {

// The folder of the file this code is linked into (the module's DLL, or a
// program), with a trailing backslash; empty when it cannot be told.
std::string FolderOfThisFile() {
    HMODULE self = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!::GetModuleHandleExA(flags, reinterpret_cast<LPCSTR>(&FolderOfThisFile), &self)) return {};
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string file(path, length);
    const std::size_t slash = file.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// The system's search first, so a library beside the host program wins.
// Many hosts cannot put files there (a script interpreter under Program
// Files, an office application), so a bare name is then also looked for
// beside the module itself, by full path.
ModuleHandle SystemLoad(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    if (ModuleHandle library = ::LoadLibraryA(fileName)) return library;
    if (std::strpbrk(fileName, "\\/:") != nullptr) return nullptr;
    const std::string folder = FolderOfThisFile();
    return folder.empty() ? nullptr : ::LoadLibraryA((folder + fileName).c_str());
}

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

struct ThreadSlot {
    DWORD index;
    void (*ended)(void*);
};

ThreadSlot* NewThreadSlot(void (*ended)(void*)) {
    const DWORD index = ::TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES) return nullptr;
    return new ThreadSlot{index, ended};
}

void DeleteThreadSlot(ThreadSlot* slot) {
    if (slot == nullptr) return;
    ::TlsFree(slot->index);
    delete slot;
}

void* GetThreadSlot(const ThreadSlot* slot) { return ::TlsGetValue(slot->index); }

bool SetThreadSlot(ThreadSlot* slot, void* value) { return ::TlsSetValue(slot->index, value) != 0; }

void ThreadSlotEnded(ThreadSlot* slot) {
    if (slot == nullptr) return;
    void* value = ::TlsGetValue(slot->index);
    if (value == nullptr) return;
    ::TlsSetValue(slot->index, nullptr);
    slot->ended(value);
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

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
