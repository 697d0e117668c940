#include "unreadable_memory.h"

#include <sys/mman.h>
#include <unistd.h>

namespace {

char* MapPage(int protection) {
    void* page = mmap(nullptr, static_cast<size_t>(getpagesize()), protection,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return page == MAP_FAILED ? nullptr : static_cast<char*>(page);
}

}  // namespace

const char* NoAccessPage() {
    static const char* page = MapPage(PROT_NONE);
    return page;
}

// The lowest pages are never mapped: the system keeps them free so that null
// pointer arithmetic faults.
const char* UnmappedAddress() { return reinterpret_cast<const char*>(8); }
