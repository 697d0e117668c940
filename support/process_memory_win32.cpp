// The Windows side of process_memory.h, on the virtual-memory calls.
#include "process_memory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <string>

namespace {

char* Allocate(std::size_t count, DWORD protection) {
    return static_cast<char*>(
        VirtualAlloc(nullptr, count * PageSize(), MEM_RESERVE | MEM_COMMIT, protection));
}

}  // namespace

std::size_t PageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

const char* NoAccessPage() {
    static const char* page = Allocate(1, PAGE_NOACCESS);
    return page;
}

// Windows never maps the lowest 64 KiB of an address space, so null pointer
// arithmetic faults.
const char* UnmappedAddress() { return reinterpret_cast<const char*>(8); }

char* GuardedPages() {
    char* pages = Allocate(2, PAGE_READWRITE);
    DWORD previous = 0;
    if (pages != nullptr && !VirtualProtect(pages + PageSize(), PageSize(), PAGE_NOACCESS, &previous)) {
        VirtualFree(pages, 0, MEM_RELEASE);
        return nullptr;
    }
    return pages;
}

void ReleaseGuardedPages(char* pages) {
    if (pages != nullptr) VirtualFree(pages, 0, MEM_RELEASE);
}

std::size_t ResidentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

// The loader hands out a handle only for a module it still has mapped;
// asking takes no reference. It reads a path with backslashes only.
bool IsModuleMapped(const char* path) {
    std::string name = path;
    std::replace(name.begin(), name.end(), '/', '\\');
    return GetModuleHandleA(name.c_str()) != nullptr;
}
