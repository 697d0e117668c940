// The operating-system services the module uses (and, for the hosts built
// here, standard streams and the program's path), under their Win32 names
// and contracts, and one of the module's own for measuring outside texts. On
// Windows they are the real calls; elsewhere posix.cpp provides them. The
// three library calls (load, resolve, release) go through the table
// LibraryCalls below on both, so that tests can watch them. Probes
// answer "bad" (nonzero, or -1) for null or unreadable memory and never
// fault; failed library calls answer null or 0.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

// How a function is exported from the shared object or DLL it is built
// into: the module's exports (the public header's MOLV_WRAP_EXPORT) and the
// test double's C functions (MOLV_API).
#ifdef _WIN32
#define MOLV_EXPORTED __declspec(dllexport)
#else
#define MOLV_EXPORTED __attribute__((visibility("default")))
#endif
#define MOLV_API extern "C" MOLV_EXPORTED

// Module-level objects are built in a fixed order (lower first) and destroyed
// in the reverse order, whatever the link order of their sources.
#define MOLV_INIT_ORDER(n) __attribute__((init_priority(n)))

namespace platform {

#ifdef _WIN32
using ModuleHandle = HMODULE;
using Bool = BOOL;
using Reason = DWORD;
#define MOLV_ENTRY_CALL WINAPI
constexpr std::uint32_t kProcessDetach = DLL_PROCESS_DETACH;
constexpr std::uint32_t kProcessAttach = DLL_PROCESS_ATTACH;
constexpr std::uint32_t kThreadDetach = DLL_THREAD_DETACH;
// The loader itself unloads a module whose attach fails, and LoadLibraryA
// answers null.
constexpr bool kFailedAttachRefusesLoad = true;
#else
using ModuleHandle = void*;
using Bool = int;
using Reason = std::uint32_t;
#define MOLV_ENTRY_CALL
constexpr std::uint32_t kProcessDetach = 0;
constexpr std::uint32_t kProcessAttach = 1;
constexpr std::uint32_t kThreadDetach = 3;
// A shared object has no entry point that could refuse the load: after a
// failed attach the module stays loaded, with no binding, and inert.
constexpr bool kFailedAttachRefusesLoad = false;
#endif

// A resolved entry point before it is given its real type.
using ProcAddress = void (*)();

ModuleHandle LoadLibraryA(const char* fileName);
ProcAddress GetProcAddress(ModuleHandle library, const char* name);
Bool FreeLibrary(ModuleHandle library);
// The full path of a loaded file; a null module names the running program.
// Answers the number of bytes written without the terminator, `size` when the
// path was cut to fit (still terminated), 0 on failure. Elsewhere than on
// Windows only the running program (null) can be asked.
std::uint32_t GetModuleFileNameA(ModuleHandle module, char* buffer, std::uint32_t size);

// Nonzero when any of the first `max` bytes up to a terminator cannot be read.
Bool IsBadStringPtrA(const char* text, std::uintptr_t max);
// Nonzero when any of the `size` bytes at `address` cannot be read.
Bool IsBadReadPtr(const void* address, std::uintptr_t size);
// The length of a text from outside the module, probed and measured in one
// pass: each page is checked once before any byte of it is read, and no page
// past the terminator's is touched. -1 for null, for a text that reaches a
// page that cannot be read before its terminator, and for one longer than
// the largest int32_t.
std::int32_t ReadableTextLength(const char* text);

// Standard input, output and error carry bytes as they are: Windows would
// otherwise turn every "\n" written into "\r\n" and read "\r\n" as "\n".
void UseBinaryStandardStreams();

int lstrlenA(const char* text);
int lstrcmpA(const char* a, const char* b);
int lstrcmpiA(const char* a, const char* b);
// Supports the conversions the module uses: %u, %d, %s, %c, %%, each with
// an optional '-' flag and 'l' size; 'l' is 32 bits wide, as on Windows.
int wsprintfA(char* buffer, const char* format, ...);

// One pointer per thread. When a thread ends, `ended` runs with its pointer:
// on POSIX systems through the thread library; on Windows the module's
// thread-detach notification does it (ThreadSlotEnded). A slot must be
// deleted before the code of `ended` is unloaded. Null when none is left.
struct ThreadSlot;
ThreadSlot* NewThreadSlot(void (*ended)(void*));
void DeleteThreadSlot(ThreadSlot* slot);
void* GetThreadSlot(const ThreadSlot* slot);
bool SetThreadSlot(ThreadSlot* slot, void* value);
// Windows: what the thread-detach notification calls; elsewhere nothing.
void ThreadSlotEnded(ThreadSlot* slot);

// Resolves `name` in `library` and gives it the entry point's real type. The
// cast is safe because the name is looked up in a library built for exactly
// that signature; a wrong library is a wrong program, not a wrong cast.
template <typename Function>
Function ResolveEntryPoint(ModuleHandle library, const char* name) {
    return reinterpret_cast<Function>(platform::GetProcAddress(library, name));
}

// Test seam: LoadLibraryA, GetProcAddress and FreeLibrary, and no other
// service, go through this table, so a test can watch the lookups or make a
// library or an entry point "missing".
struct LibraryCalls {
    ModuleHandle (*load)(const char* fileName);
    ProcAddress (*resolve)(ModuleHandle library, const char* name);
    Bool (*release)(ModuleHandle library);
};
LibraryCalls& libraryCalls();
const LibraryCalls& systemLibraryCalls();

}  // namespace platform

// The module's attach/detach handler. Windows' loader calls it; elsewhere the
// platform calls it when the shared object is loaded and unloaded.
extern "C" platform::Bool MOLV_ENTRY_CALL DllMain(platform::ModuleHandle module,
                                                  platform::Reason reason, void* reserved);
