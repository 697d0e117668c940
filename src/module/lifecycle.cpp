// Attach and detach: the one engine binding lives from process attach to
// process detach. A binding that cannot load its library makes attach fail.
#include "module/module_objects.h"
#include "platform/platform.h"

bool ProcessAttach() {
    if (theEngine.Get() != nullptr) return false;
    try {
        StringBuffer libraryName("bregexp.dll", -1, 2);
        theEngine.Replace(new EngineBinding(libraryName));
        return true;
    } catch (...) {
        // The binding has already destroyed what it had built.
        return false;
    }
}

void ProcessDetach() {
    if (theEngine.Get() == nullptr) return;
    theEngine.Replace(nullptr);
}

extern "C" platform::Bool MOLV_ENTRY_CALL DllMain(platform::ModuleHandle, platform::Reason reason,
                                                  void*) {
    if (reason == platform::kProcessAttach) return ProcessAttach() ? 1 : 0;
    if (reason == platform::kProcessDetach) ProcessDetach();
    // Thread notifications are received and ignored.
    return 1;
}
