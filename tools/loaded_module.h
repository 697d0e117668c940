// The MOLV_Wrap module as a host sees it: the shared object opened by path,
// its ten exports resolved by name. Load answers false, with a message naming
// what was missing and where molv looked, when the module cannot be found,
// loaded or resolved, or when it loaded but could not load bregexp.dll.
#pragma once

#include <string>

#include "export_table.h"

class LoadedModule : public ExportTable {
public:
    LoadedModule() = default;
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // `path` is the module file; `howFound` says in the messages where the
    // path came from ("beside molv", "given by --library").
    bool Load(const std::string& path, const std::string& howFound, std::string& error);
    const std::string& Path() const { return path; }

private:
    platform::ModuleHandle library = nullptr;
    std::string path;
};
