// The POSIX side of process_memory.h, on mmap and /proc.
#include "process_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

char* MapPages(std::size_t count, int protection) {
    void* pages = mmap(nullptr, count * PageSize(), protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return pages == MAP_FAILED ? nullptr : static_cast<char*>(pages);
}

}  // namespace

std::size_t PageSize() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }

const char* NoAccessPage() {
    static const char* page = MapPages(1, PROT_NONE);
    return page;
}

// The lowest pages are never mapped: the system keeps them free so that null
// pointer arithmetic faults.
const char* UnmappedAddress() { return reinterpret_cast<const char*>(8); }

char* GuardedPages() {
    char* pages = MapPages(2, PROT_READ | PROT_WRITE);
    if (pages != nullptr && mprotect(pages + PageSize(), PageSize(), PROT_NONE) != 0) {
        munmap(pages, 2 * PageSize());
        return nullptr;
    }
    return pages;
}

void ReleaseGuardedPages(char* pages) {
    if (pages != nullptr) munmap(pages, 2 * PageSize());
}

std::size_t ResidentBytes() {
    // The second number of statm is the resident set, in pages.
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long size = 0, resident = 0;
    const bool read = std::fscanf(statm, "%lu %lu", &size, &resident) == 2;
    std::fclose(statm);
    return read ? resident * PageSize() : 0;
}

// The loader's own list, read from the kernel: each mapping ends with the
// path of the file it maps.
bool IsModuleMapped(const char* path) {
    std::ifstream maps("/proc/self/maps");
    const std::string wanted = path;
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() >= wanted.size() && line.compare(line.size() - wanted.size(), wanted.size(), wanted) == 0) {
            return true;
        }
    }
    return false;
}
