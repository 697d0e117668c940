// The process's memory as the tests and hardening programs see it: addresses
// nobody may read directly (a page mapped without access, an address in the
// unmapped lowest page, a text that runs into a no-access page), all kept so
// for the whole run, and the resident size. Each platform has its own
// source file.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

const char* NoAccessPage();
const char* UnmappedAddress();

// The system's page size.
std::size_t PageSize();

// Two fresh pages: the first readable and writable, the second without
// access, for probes that must stop exactly at the boundary. Null when the
// system refuses; give them back with ReleaseGuardedPages.
char* GuardedPages();
void ReleaseGuardedPages(char* pages);

// A text whose first bytes read fine but that has no terminator before a
// no-access page: a whole page that starts like a position text ("1:2aaa...").
inline const char* TextIntoNoAccessPage() {
    static const char* const text = [] {
        char* pages = GuardedPages();
        if (pages != nullptr) {
            std::memset(pages, 'a', PageSize());
            std::memcpy(pages, "1:2", 3);
        }
        return pages;
    }();
    return text;
}

// Every text pointer a string must take as empty, each with its name.
inline std::vector<std::pair<const char*, const char*>> BadTextPointers() {
    return {{"null", nullptr},
            {"no-access page", NoAccessPage()},
            {"unmapped", UnmappedAddress()},
            {"runs into a no-access page", TextIntoNoAccessPage()}};
}

// The memory the process keeps resident, in bytes; 0 when it cannot be read.
std::size_t ResidentBytes();

// Whether the loader still has the module at `path` mapped into this
// process: one still mapped after its last unload never ran its detach.
bool IsModuleMapped(const char* path);
