// The module as the tests, hardening programs and benchmarks load it: the
// shared object opened by path (by default the one beside the running
// program, with our bregexp.dll beside it), its ten exports resolved by name.
// A load that fails leaves every export null and Loaded() false; Unload
// really unloads the module.
#pragma once

#include <string>

#include "export_table.h"

class HostModule : public ExportTable {
public:
    // An empty path loads nothing.
    explicit HostModule(const std::string& path = ModuleBesideProgram()) { Load(path); }
    ~HostModule() { Unload(); }
    HostModule(const HostModule&) = delete;
    HostModule& operator=(const HostModule&) = delete;

    // Loads the module at `path` in place of any loaded one. On failure
    // nothing stays loaded, and `missing` (when given) names the first
    // export the module lacked, or stays null when the system could not
    // load it at all.
    bool Load(const std::string& path, const char** missing = nullptr);
    bool Loaded() const { return library != nullptr; }
    void Unload();

    // True while a module is mapped at `path` (asked without loading it).
    static bool IsMapped(const std::string& path);

private:
    platform::ModuleHandle library = nullptr;
};
