#include "module_beside_double.h"

#include <filesystem>
#include <system_error>

#include "double_control.h"

namespace {

// The module's attach loads "bregexp.dll" by bare name. Linux finds it
// beside the module (RUNPATH $ORIGIN); Windows looks beside the host program
// and in the current folder, not beside the module. So the variant's folder
// is current while the module attaches, and both find the double lying there.
platform::ModuleHandle LoadFromFolder(const std::string& folder) {
    std::error_code ignored;
    const std::filesystem::path previous = std::filesystem::current_path(ignored);
    std::filesystem::current_path(folder, ignored);
    platform::ModuleHandle module = platform::LoadLibraryA((folder + "/" + MOLV_MODULE_FILE).c_str());
    std::filesystem::current_path(previous, ignored);
    return module;
}

}  // namespace

ModuleBesideDouble::ModuleBesideDouble(const std::string& variant)
    : library(LoadFromFolder(std::string(MOLV_DOUBLE_DIR) + "/" + variant)) {
    if (library == nullptr) return;
    Resolve(library);
}

void ModuleBesideDouble::Unload() {
    if (library != nullptr) platform::FreeLibrary(library);
    library = nullptr;
}
