#include "loaded_module.h"

#include <filesystem>

#include "bregexp.h"

namespace {

namespace fs = std::filesystem;

// The entry points a usable bregexp.dll has, for the message that it lacks
// one: each name after ", ", and the first separator skipped.
#define MOLV_ENTRY_POINT_NAME(name, role, result, parameters) ", " #name
constexpr char kEntryPointList[] = BREGEXP_ENTRY_POINTS(MOLV_ENTRY_POINT_NAME);
#undef MOLV_ENTRY_POINT_NAME
constexpr const char* kEntryPointNames = &kEntryPointList[2];

std::string FolderOf(const std::string& file) {
    const fs::path folder = fs::path(file).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

}  // namespace

bool LoadedModule::Load(const std::string& file, const std::string& howFound, std::string& error) {
    std::error_code ignored;
    // An absolute path, so the loader opens this very file instead of
    // searching its own folders for a bare name.
    fs::path modulePath = fs::absolute(fs::path(file), ignored).lexically_normal();
    // A folder stands for the module file in it.
    if (fs::is_directory(modulePath, ignored)) modulePath /= MOLV_MODULE_FILE;
    path = modulePath.string();
    if (!fs::exists(path, ignored)) {
        error = "module not found: " + path + " (" + howFound + ")";
        return false;
    }
    const char* missing = nullptr;
    if (!HostModule::Load(path, &missing)) {
        error = missing != nullptr
                    ? "the module " + path + " has no export " + missing + ": is it MOLV_Wrap?"
                    : "cannot load the module " + path + " (" + howFound +
                          "): not a shared library for this system, or one it needs is missing";
        return false;
    }

    // On a system whose loader cannot refuse the module, a module that could
    // not open bregexp.dll loads anyway but answers "" to everything; its
    // version text, never empty otherwise, tells.
    if (MOLV_VERSION()[0] == 0) {
        const std::string folder = FolderOf(path);
        const fs::path besideModule = fs::path(folder) / "bregexp.dll";
        if (!fs::exists(besideModule, ignored)) {
            error = "the module " + path + " could not load bregexp.dll: none found beside it in " +
                    folder;
        } else {
            error = "the module " + path + " could not use " + besideModule.string() +
                    ": it does not load, or lacks one of " + kEntryPointNames;
        }
        return false;
    }
    return true;
}
