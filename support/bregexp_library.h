// bregexp.dll as the benchmarks call it directly, beside the module that
// uses it: opened by path or name (the loader hands back the very library the
// module holds), its entry points resolved by the names of bregexp.h into a
// table by role. Load answers false when the file or any entry point is
// missing; the library stays loaded for the life of the process.
#pragma once

#include <string>

#include "bregexp.h"

struct BregexpLibrary : bregexp_functions {
    BregexpLibrary() : bregexp_functions{} {}
    bool Load(const std::string& file);
};

// The bregexp.dll in the folder of the module beside the running program.
std::string BregexpBesideModule();
