// Attach and detach: the one engine binding lives from process attach to
// process detach. A binding that cannot load its library makes attach fail.
#include "module/module_objects.h"
#include "platform/platform.h"

bool ProcessAttach() {
    if (theEngine.Get() != nullptr || !ThreadStatesReady()) return false;
    try {
        StringBuffer libraryName("bregexp.dll", -1, 2);
        theEngine.Replace(new EngineBinding(libraryName));
        return true;
    } catch (...) {
        // The binding has already destroyed what it had built.
        ReleaseThreadStates();
        return false;
    }
}

// The threads' states go first: once they are gone no ending thread can
// reach for the binding. The binding then hands back the records, those of
// the threads still running too (a record's life: engine_binding.h).
void ProcessDetach() {
    if (theEngine.Get() == nullptr) return;
    ReleaseThreadStates();
    theEngine.Replace(nullptr);
}

extern "C" platform::Bool MOLV_ENTRY_CALL DllMain(platform::ModuleHandle, platform::Reason reason,
                                                  void*) {
    if (reason == platform::kProcessAttach) return ProcessAttach() ? 1 : 0;
    if (reason == platform::kProcessDetach) ProcessDetach();
    // A thread that ends frees its state; other notifications change nothing.
    if (reason == platform::kThreadDetach) ThreadDetach();
    return 1;
}
