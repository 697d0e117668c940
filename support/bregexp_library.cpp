#include "bregexp_library.h"

#include <filesystem>

#include "export_table.h"
#include "platform/platform.h"

bool BregexpLibrary::Load(const std::string& file) {
    const platform::ModuleHandle library = platform::LoadLibraryA(file.c_str());
    if (library == nullptr) return false;
    bool all = true;
#define MOLV_RESOLVE_ROLE(name, role, result, parameters)                    \
    role = platform::ResolveEntryPoint<name##Function>(library, #name); \
    all = all && role != nullptr;
    BREGEXP_ENTRY_POINTS(MOLV_RESOLVE_ROLE)
#undef MOLV_RESOLVE_ROLE
    return all;
}

std::string BregexpBesideModule() {
    return (std::filesystem::path(ModuleBesideProgram()).parent_path() / "bregexp.dll").string();
}
