// The module loaded the way a host loads it: the shared object copied beside
// one variant of the double, opened by path, its ten exports resolved.
#pragma once

#include <string>

#include "export_table.h"

class ModuleBesideDouble : public ExportTable {
public:
    explicit ModuleBesideDouble(const std::string& variant);
    ~ModuleBesideDouble() { Unload(); }
    ModuleBesideDouble(const ModuleBesideDouble&) = delete;
    ModuleBesideDouble& operator=(const ModuleBesideDouble&) = delete;

    bool Loaded() const { return library != nullptr; }
    // The last unload really unloads the module, which runs its detach.
    void Unload();

private:
    platform::ModuleHandle library;
};
