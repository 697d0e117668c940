#include "host_module.h"

#include <fstream>

HostModule::HostModule(const std::string& path)
    : library(path.empty() ? nullptr : platform::LoadLibraryA(path.c_str())) {
    if (library == nullptr) return;
    // The load fails when any export is missing.
    if (Resolve(library) != nullptr) Unload();
}

void HostModule::Unload() {
    if (library != nullptr) platform::FreeLibrary(library);
    library = nullptr;
    static_cast<ExportTable&>(*this) = ExportTable{};
}

bool HostModule::IsMapped(const std::string& path) {
    // The loader's own list, read from the kernel: a module that is still
    // mapped after its last unload never ran its detach.
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) {
            return true;
        }
    }
    return false;
}
