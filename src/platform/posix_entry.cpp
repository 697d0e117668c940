// Process attach and detach for the shared object on POSIX systems, where no
// loader calls DllMain. Linked into the module only, never into tests.
#ifndef _WIN32

#include "platform/platform.h"

namespace {

// Built after the module's ordered statics and destroyed before them, so the
// handler sees them alive on both notifications. A failed attach cannot make
// the loader refuse the object; the module then stays inert.
struct ProcessNotifications {
    bool attached;
    ProcessNotifications()
        : attached(DllMain(nullptr, platform::kProcessAttach, nullptr) != 0) {}
    ~ProcessNotifications() {
        if (attached) DllMain(nullptr, platform::kProcessDetach, nullptr);
    }
};

ProcessNotifications notifications;

}  // namespace

#endif  // !_WIN32
