#include "host_module.h"

#include "process_memory.h"

bool HostModule::Load(const std::string& path, const char** missing) {
    Unload();
    if (missing != nullptr) *missing = nullptr;
    if (path.empty()) return false;
    library = platform::LoadLibraryA(path.c_str());
    if (library == nullptr) return false;
    // The load fails when any export is missing.
    const char* lacking = Resolve(library);
    if (lacking == nullptr) return true;
    if (missing != nullptr) *missing = lacking;
    Unload();
    return false;
}

void HostModule::Unload() {
    if (library != nullptr) platform::FreeLibrary(library);
    library = nullptr;
    static_cast<ExportTable&>(*this) = ExportTable{};
}

bool HostModule::IsMapped(const std::string& path) { return IsModuleMapped(path.c_str()); }
