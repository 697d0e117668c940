// The MOLV_Wrap module as a host sees it: the shared object opened by path,
// its ten exports resolved by name. Load answers false, with a message naming
// what was missing and where molv looked, when the module cannot be found,
// loaded or resolved, or when it loaded but could not load bregexp.dll.
#pragma once

#include <string>

#include "host_module.h"

// Unloading runs the module's detach, which hands its compiled patterns
// back to bregexp.dll.
class LoadedModule : public HostModule {
public:
    LoadedModule() : HostModule(std::string()) {}

    // `path` is the module file; `howFound` says in the messages where the
    // path came from ("beside molv", "given by --library").
    bool Load(const std::string& path, const std::string& howFound, std::string& error);
    const std::string& Path() const { return path; }

private:
    std::string path;
};
