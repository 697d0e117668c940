// The module as the hardening programs load it: the shared object opened by
// path (by default the one beside the running program, with our bregexp.dll
// beside it), its ten exports resolved by name. A load that fails leaves
// every export null and Loaded() false; Unload really unloads the module.
#pragma once

#include <string>

#include "module/molv_exports.h"

class HostModule {
public:
    explicit HostModule(const std::string& path = ModuleBesideProgram());
    ~HostModule() { Unload(); }
    HostModule(const HostModule&) = delete;
    HostModule& operator=(const HostModule&) = delete;

    bool Loaded() const { return library != nullptr; }
    void Unload();

    // The module file in the running program's folder, "" when unknown.
    static std::string ModuleBesideProgram();
    // True while a module is mapped at `path` (asked without loading it).
    static bool IsMapped(const std::string& path);

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

private:
    platform::ModuleHandle library = nullptr;
};
