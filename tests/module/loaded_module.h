// The module loaded the way a host loads it: the shared object copied beside
// one variant of the double, opened by path, its ten exports resolved.
#pragma once

#include <string>

#include "export_table.h"

class LoadedModule : public ExportTable {
public:
    explicit LoadedModule(const std::string& variant);
    ~LoadedModule() { Unload(); }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool Loaded() const { return library != nullptr; }
    // The last unload really unloads the module, which runs its detach.
    void Unload();

private:
    platform::ModuleHandle library;
};
