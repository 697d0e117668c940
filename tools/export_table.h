// The ten exports of a loaded MOLV_Wrap module, looked up by name: what every
// program that loads the module as a host does (molv, the module tests, the
// fuzz and hardening hosts). Resolve answers the first name it could not
// find, or null when all ten are there.
#pragma once

#include <string>

#include "module/molv_exports.h"

struct ExportTable {
    const char* Resolve(platform::ModuleHandle library);

    decltype(&MOLV_MATCH) Match = nullptr;
    decltype(&MOLV_SUBST) Subst = nullptr;
    decltype(&MOLV_TRANS) Trans = nullptr;
    decltype(&MOLV_SPLIT) Split = nullptr;
    decltype(&MOLV_GETNEXT) GetNext = nullptr;
    decltype(&MOLV_HASMORERESULTS) HasMoreResults = nullptr;
    decltype(&MOLV_POSTOSTR) PosToStr = nullptr;
    decltype(&MOLV_ERRORMSG) ErrorMsg = nullptr;
    decltype(&MOLV_VERSION) Version = nullptr;
    decltype(&MOLV_MOLVWVERSION) MolvwVersion = nullptr;
};

// The module file in the running program's folder, "" when the program's own
// path cannot be had.
std::string ModuleBesideProgram();
