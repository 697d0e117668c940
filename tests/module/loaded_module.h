// The module loaded the way a host loads it: the shared object copied beside
// one variant of the double, opened by path, its ten exports resolved.
#pragma once

#include <string>

#include "module/molv_exports.h"

class LoadedModule {
public:
    explicit LoadedModule(const std::string& variant);
    ~LoadedModule() { Unload(); }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return library != nullptr; }
    // The last unload really unloads the module, which runs its detach.
    void Unload();

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
    platform::ModuleHandle library;
};
