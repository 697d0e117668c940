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

// The folder of a loaded file (null: the running program), with a trailing
// backslash; empty when it cannot be told.
std::string FolderOf(HMODULE file) {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(file, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string name(path, length);
    const std::size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

// The folder of the file this code is linked into (the module's DLL, or a
// program).
std::string FolderOfThisFile() {
    HMODULE self = nullptr;
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!::GetModuleHandleExA(flags, reinterpret_cast<LPCSTR>(&FolderOfThisFile), &self)) return {};
    return FolderOf(self);
}

std::string SystemFolder() {
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(path, length) + "\\";
}

// Loads the library at a full path; the libraries it imports are looked for
// beside it and in the system folder only. Windows 7 without update
// KB2533623 knows no LOAD_LIBRARY_SEARCH_ flag and answers
// ERROR_INVALID_PARAMETER: there the library's own folder takes the program's
// place in the ordinary search for its imports.
ModuleHandle LoadFile(const std::string& path) {
    const DWORD importsBesideOrSystem = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    if (ModuleHandle library = ::LoadLibraryExA(path.c_str(), nullptr, importsBesideOrSystem)) return library;
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A bare name is looked for beside the host program (which wins, as it would
// in Windows' own search), then beside the module (many hosts cannot put
// files beside their program: a script interpreter under Program Files, an
// office application), then in the system folder, each by full path. Never
// in the working folder or on PATH, which Windows' own search also takes: a
// host working in a downloaded or shared folder would run any bregexp.dll
// planted there inside its own process. One the process has already loaded
// is taken as it is. A name with a path is loaded as given.
ModuleHandle SystemLoad(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    if (std::strpbrk(fileName, "\\/:") != nullptr) return ::LoadLibraryA(fileName);
    HMODULE loaded = nullptr;
    if (::GetModuleHandleExA(0, fileName, &loaded)) return loaded;
    for (const std::string& folder : {FolderOf(nullptr), FolderOfThisFile(), SystemFolder()}) {
        if (folder.empty()) continue;
        if (ModuleHandle library = LoadFile(folder + fileName)) return library;
    }
    return nullptr;
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
