// Addresses no test may read directly: a page mapped without access, and an
// address in the unmapped lowest page. Both stay so for the whole run. Each
// platform has its own source file.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

const char* NoAccessPage();
const char* UnmappedAddress();

// Every text pointer a string must take as empty, each with its name.
inline std::vector<std::pair<const char*, const char*>> BadTextPointers() {
    return {{"null", nullptr}, {"no-access page", NoAccessPage()}, {"unmapped", UnmappedAddress()}};
}

// The system's page size.
std::size_t PageSize();

// Two fresh pages: the first readable and writable, the second without
// access, for probes that must stop exactly at the boundary. Null when the
// system refuses; give them back with ReleaseGuardedPages.
char* GuardedPages();
void ReleaseGuardedPages(char* pages);

// The memory the process keeps resident, in bytes; 0 when it cannot be read.
std::size_t ResidentBytes();
