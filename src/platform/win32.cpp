// The services of platform.h on Windows: the real Win32 calls, reached
// through the library-call table so tests can stand in for them.
#ifdef _WIN32

#include "platform/platform.h"

#include <fcntl.h>
#include <io.h>
#if defined(__i386__) || defined(__x86_64__)
#include <emmintrin.h>
#endif

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

namespace {

// Host texts are read a page at a time, each page probed before any byte of
// it is read. Every Windows page is 4 KiB or a multiple of it, so stepping
// by 4 KiB probes every page. msvcrt's strlen and lstrlenA step one byte at
// a time; the scans below read aligned words or 16- and 64-byte blocks,
// which never reach past the page's end because that end is aligned as well.
constexpr std::uintptr_t kProbeStep = 4096;

// The offset from `at` of the first zero byte before `pageEnd`, or
// pageEnd - at when there is none.
using PageScan = std::uintptr_t (*)(const char* at, const char* pageEnd);

std::uintptr_t ScanWords(const char* at, const char* pageEnd) {
    constexpr std::uintptr_t kLowBits = ~std::uintptr_t{0} / 0xFF;   // 0x01 in every byte
    constexpr std::uintptr_t kHighBits = kLowBits << 7;               // 0x80 in every byte
    const char* p = at;
    for (; reinterpret_cast<std::uintptr_t>(p) % sizeof(std::uintptr_t) != 0; ++p) {
        if (*p == 0) return static_cast<std::uintptr_t>(p - at);
    }
    for (; p != pageEnd; p += sizeof(std::uintptr_t)) {
        std::uintptr_t word;
        std::memcpy(&word, p, sizeof word);
        // Nonzero exactly when some byte of the word is zero.
        if (((word - kLowBits) & ~word & kHighBits) != 0) break;
    }
    while (p != pageEnd && *p != 0) ++p;
    return static_cast<std::uintptr_t>(p - at);
}

#if defined(__i386__) || defined(__x86_64__)
// One bit for each zero byte of the aligned 16-byte block.
__attribute__((target("sse2"))) unsigned ZeroBytes(const char* block) {
    const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
}

// Whether the aligned 64-byte block holds a zero byte: the bytewise minimum
// of its four 16-byte parts then has one.
__attribute__((target("sse2"))) bool HasZeroIn64(const char* block) {
    const auto* parts = reinterpret_cast<const __m128i*>(block);
    const __m128i low = _mm_min_epu8(_mm_load_si128(parts), _mm_load_si128(parts + 1));
    const __m128i high = _mm_min_epu8(_mm_load_si128(parts + 2), _mm_load_si128(parts + 3));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(low, high), _mm_setzero_si128())) != 0;
}

std::uintptr_t OffsetOfZero(const char* at, const char* block, unsigned zeros) {
    return static_cast<std::uintptr_t>(block - at) + static_cast<std::uintptr_t>(__builtin_ctz(zeros));
}

// The first block also holds up to 15 bytes before the text: an aligned
// block lies within one page, and those bytes' bits are shifted out. Then 16
// bytes a step up to a 64-byte boundary, and 64 a step from there, which
// takes a third of the time of 16-byte steps at 1 KiB; the page's end is a
// boundary of both.
__attribute__((target("sse2"))) std::uintptr_t ScanBlocks(const char* at, const char* pageEnd) {
    const auto address = reinterpret_cast<std::uintptr_t>(at);
    const char* block = reinterpret_cast<const char*>(address & ~std::uintptr_t{15});
    const unsigned first = ZeroBytes(block) >> (address & 15);
    if (first != 0) return static_cast<std::uintptr_t>(__builtin_ctz(first));
    for (block += 16; block != pageEnd && reinterpret_cast<std::uintptr_t>(block) % 64 != 0; block += 16) {
        if (const unsigned zeros = ZeroBytes(block)) return OffsetOfZero(at, block, zeros);
    }
    while (block != pageEnd && !HasZeroIn64(block)) block += 64;
    if (block == pageEnd) return static_cast<std::uintptr_t>(pageEnd - at);
    // One of this 64-byte block's parts holds the zero.
    for (;; block += 16) {
        if (const unsigned zeros = ZeroBytes(block)) return OffsetOfZero(at, block, zeros);
    }
}
#endif

// Every processor Windows 8 and later runs on has SSE2; older 32-bit ones
// may lack it, and the 32-bit build cannot assume it.
PageScan ChooseScan() {
#if defined(__i386__) || defined(__x86_64__)
    if (::IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE)) return ScanBlocks;
#endif
    return ScanWords;
}

}  // namespace

std::int32_t ReadableTextLength(const char* text) {
    static const PageScan scan = ChooseScan();
    const auto start = reinterpret_cast<std::uintptr_t>(text);
    for (std::uintptr_t at = start;;) {
        if (at == 0 || ::IsBadReadPtr(reinterpret_cast<const void*>(at), 1)) return -1;
        const std::uintptr_t pageEnd = (at | (kProbeStep - 1)) + 1;
        const std::uintptr_t room = pageEnd - at;
        const std::uintptr_t found =
            scan(reinterpret_cast<const char*>(at), reinterpret_cast<const char*>(pageEnd));
        const std::uintptr_t length = at - start + found;
        if (length > INT32_MAX) return -1;
        if (found < room) return static_cast<std::int32_t>(length);
        at = pageEnd;
    }
}

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
