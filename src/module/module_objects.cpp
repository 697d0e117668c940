// The module-level objects and the states of the calling threads. A state
// is found through a per-thread slot and also kept in a list, so that the
// states of threads still running are freed when the module is detached.
#include "module/module_objects.h"

#include <mutex>
#include <new>
#include <unordered_set>

#include "molv_wrap_version.h"
#include "platform/platform.h"

namespace {

struct LiveStates {
    std::mutex lock;
    std::unordered_set<ThreadState*> states;
};

}  // namespace

// Ordered statics: built before attach runs and destroyed after detach has
// run, so detach still finds every state there.
MOLV_INIT_ORDER(1001) OwningPointer<EngineBinding> theEngine;
MOLV_INIT_ORDER(1002) static LiveStates liveStates;
const char* const moduleVersion = MOLV_WRAP_VERSION;

namespace {

platform::ThreadSlot* threadSlot = nullptr;

// A thread that ends frees its own state, unless the detach already has.
void ThreadEnded(void* state) {
    std::lock_guard<std::mutex> guard(liveStates.lock);
    if (liveStates.states.erase(static_cast<ThreadState*>(state)) != 0) delete static_cast<ThreadState*>(state);
}

}  // namespace

ThreadState& CallingThreadState() {
    if (threadSlot == nullptr) throw std::bad_alloc();
    if (void* mine = platform::GetThreadSlot(threadSlot)) return *static_cast<ThreadState*>(mine);
    auto* state = new ThreadState;
    std::lock_guard<std::mutex> guard(liveStates.lock);
    try {
        liveStates.states.insert(state);
    } catch (...) {
        delete state;
        throw;
    }
    if (!platform::SetThreadSlot(threadSlot, state)) {
        liveStates.states.erase(state);
        delete state;
        throw std::bad_alloc();
    }
    return *state;
}

bool ThreadStatesReady() {
    threadSlot = platform::NewThreadSlot(ThreadEnded);
    return threadSlot != nullptr;
}

// The slot goes first, so that no thread ending from now on reaches for a
// state; then every state left.
void ReleaseThreadStates() {
    platform::DeleteThreadSlot(threadSlot);
    threadSlot = nullptr;
    std::lock_guard<std::mutex> guard(liveStates.lock);
    for (ThreadState* state : liveStates.states) delete state;
    liveStates.states.clear();
}

void ThreadDetach() { platform::ThreadSlotEnded(threadSlot); }
