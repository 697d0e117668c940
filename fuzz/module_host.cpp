#include "module_host.h"

#include <fstream>

namespace {

template <typename Function>
bool Resolve(platform::ModuleHandle library, const char* name, Function& function) {
    function = platform::ResolveEntryPoint<Function>(library, name);
    return function != nullptr;
}

}  // namespace

HostModule::HostModule(const std::string& path)
    : library(path.empty() ? nullptr : platform::LoadLibraryA(path.c_str())) {
    if (library == nullptr) return;
    // Every name is looked up, and the load fails when any one is missing.
    int missing = 0;
    missing += Resolve(library, "MOLV_MATCH", Match) ? 0 : 1;
    missing += Resolve(library, "MOLV_SUBST", Subst) ? 0 : 1;
    missing += Resolve(library, "MOLV_TRANS", Trans) ? 0 : 1;
    missing += Resolve(library, "MOLV_SPLIT", Split) ? 0 : 1;
    missing += Resolve(library, "MOLV_GETNEXT", GetNext) ? 0 : 1;
    missing += Resolve(library, "MOLV_HASMORERESULTS", HasMoreResults) ? 0 : 1;
    missing += Resolve(library, "MOLV_POSTOSTR", PosToStr) ? 0 : 1;
    missing += Resolve(library, "MOLV_ERRORMSG", ErrorMsg) ? 0 : 1;
    missing += Resolve(library, "MOLV_VERSION", Version) ? 0 : 1;
    missing += Resolve(library, "MOLV_MOLVWVERSION", MolvwVersion) ? 0 : 1;
    if (missing > 0) Unload();
}

void HostModule::Unload() {
    if (library != nullptr) platform::FreeLibrary(library);
    library = nullptr;
    Match = nullptr;
    Subst = nullptr;
    Trans = nullptr;
    Split = nullptr;
    GetNext = nullptr;
    HasMoreResults = nullptr;
    PosToStr = nullptr;
    ErrorMsg = nullptr;
    Version = nullptr;
    MolvwVersion = nullptr;
}

std::string HostModule::ModuleBesideProgram() {
    char program[4096];
    const std::uint32_t length = platform::GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return {};
    std::string path(program, length);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1) + MOLV_MODULE_FILE;
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
