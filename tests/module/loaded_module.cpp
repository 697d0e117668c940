#include "loaded_module.h"

#include "double_control.h"

namespace {

template <typename Function>
void Resolve(platform::ModuleHandle library, const char* name, Function& function) {
    function = platform::ResolveEntryPoint<Function>(library, name);
}

}  // namespace

LoadedModule::LoadedModule(const std::string& variant)
    : library(platform::LoadLibraryA(
          (std::string(MOLV_DOUBLE_DIR) + "/" + variant + "/" + MOLV_MODULE_FILE).c_str())) {
    if (library == nullptr) return;
    Resolve(library, "MOLV_MATCH", Match);
    Resolve(library, "MOLV_SUBST", Subst);
    Resolve(library, "MOLV_TRANS", Trans);
    Resolve(library, "MOLV_SPLIT", Split);
    Resolve(library, "MOLV_GETNEXT", GetNext);
    Resolve(library, "MOLV_HASMORERESULTS", HasMoreResults);
    Resolve(library, "MOLV_POSTOSTR", PosToStr);
    Resolve(library, "MOLV_ERRORMSG", ErrorMsg);
    Resolve(library, "MOLV_VERSION", Version);
    Resolve(library, "MOLV_MOLVWVERSION", MolvwVersion);
}

void LoadedModule::Unload() {
    if (library != nullptr) platform::FreeLibrary(library);
    library = nullptr;
}
