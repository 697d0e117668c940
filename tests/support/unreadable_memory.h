// Addresses no test may read directly: a page mapped without access, and an
// address in the unmapped lowest page. Both stay so for the whole run.
#pragma once

#include <utility>
#include <vector>

const char* NoAccessPage();
const char* UnmappedAddress();

// Every text pointer a string must take as empty, each with its name.
inline std::vector<std::pair<const char*, const char*>> BadTextPointers() {
    return {{"null", nullptr}, {"no-access page", NoAccessPage()}, {"unmapped", UnmappedAddress()}};
}
