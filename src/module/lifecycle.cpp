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

// The binding hands its records back and releases the library; the
// threads' states, which hold only texts and positions, go after it.
void ProcessDetach() {
    if (theEngine.Get() == nullptr) return;
    theEngine.Replace(nullptr);
    ReleaseThreadStates();
}

extern "C" platform::Bool MOLV_ENTRY_CALL DllMain(platform::ModuleHandle, platform::Reason reason,
                                                  void*) {
    if (reason == platform::kProcessAttach) return ProcessAttach() ? 1 : 0;
    if (reason == platform::kProcessDetach) ProcessDetach();
    // A thread that ends frees its state; other notifications change nothing.
    if (reason == platform::kThreadDetach) ThreadDetach();
    return 1;
}
