// The library services of platform.h, routed through the replaceable table
// of library calls; each platform's source provides the system's own table.
#include "platform/platform.h"

namespace platform {

LibraryCalls& libraryCalls() {
    static LibraryCalls calls = systemLibraryCalls();
    return calls;
}

ModuleHandle LoadLibraryA(const char* fileName) { return libraryCalls().load(fileName); }

ProcAddress GetProcAddress(ModuleHandle library, const char* name) {
    return libraryCalls().resolve(library, name);
}

Bool FreeLibrary(ModuleHandle library) { return libraryCalls().release(library); }

}  // namespace platform
