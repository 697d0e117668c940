// The exports of a loaded MOLV_Wrap module, looked up by name: what every
// program that loads the module as a host does (molv, the module tests, the
// fuzz and hardening hosts, the benchmarks). Each is a pointer named after its export, all
// made from the one list in molv_wrap.h. Resolve answers the first name it
// could not find, or null when all are there.
#pragma once

#include <string>

#include "molv_wrap.h"
#include "platform/platform.h"

struct ExportTable {
    const char* Resolve(platform::ModuleHandle library);

#define MOLV_EXPORT_POINTER(name, result, parameters, count) name##_FUNCTION name = nullptr;
    MOLV_WRAP_EXPORTS(MOLV_EXPORT_POINTER)
#undef MOLV_EXPORT_POINTER
};

// The module file in the running program's folder, "" when the program's own
// path cannot be had.
std::string ModuleBesideProgram();
