#include "export_table.h"

#include <filesystem>

namespace {

// The one place an export's address gets its type: the names and signatures
// come from molv_wrap.h, the header the module itself is built from.
template <typename Function>
void Resolve(platform::ModuleHandle library, const char* name, Function& function,
             const char*& missing) {
    function = platform::ResolveEntryPoint<Function>(library, name);
    if (function == nullptr && missing == nullptr) missing = name;
}

}  // namespace

const char* ExportTable::Resolve(platform::ModuleHandle library) {
    const char* missing = nullptr;
    // Every one is tried, so a caller may still use those that were found.
#define MOLV_RESOLVE(name, result, parameters, count) ::Resolve(library, #name, name, missing);
    MOLV_WRAP_EXPORTS(MOLV_RESOLVE)
#undef MOLV_RESOLVE
    return missing;
}

std::string ModuleBesideProgram() {
    // Long enough for any path this system hands out; a cut path is useless.
    char program[4096];
    const std::uint32_t length = platform::GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program) return "";
    return (std::filesystem::path(std::string(program, length)).parent_path() / MOLV_MODULE_FILE)
        .string();
}
