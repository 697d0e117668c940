// The MOLV_Wrap module as a host sees it: the shared object opened by path,
// its ten exports resolved by name. Load answers false, with a message naming
// what was missing and where molv looked, when the module cannot be found,
// loaded or resolved, or when it loaded but could not load bregexp.dll.
#pragma once

#include <string>

#include "module/molv_exports.h"

class LoadedModule {
public:
    LoadedModule() = default;
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // `path` is the module file; `howFound` says in the messages where the
    // path came from ("beside molv", "given by --library").
    bool Load(const std::string& path, const std::string& howFound, std::string& error);
    const std::string& Path() const { return path; }

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
    bool ResolveExports(std::string& error);

    platform::ModuleHandle library = nullptr;
    std::string path;
};

// The module file beside the running molv program, or "" when the program's
// own path cannot be had.
std::string ModuleBesideProgram();
