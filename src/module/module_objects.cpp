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
MOLV_INIT_ORDER(1004) const StringBuffer outOfMemory("out of memory", -1, 2);
MOLV_INIT_ORDER(1004) const StringBuffer internalFailure("internal failure", -1, 2);
const char* const moduleVersion = MOLV_WRAP_VERSION;

namespace {

platform::ThreadSlot* threadSlot = nullptr;
// What the slot of a thread whose state could not be made holds: not a
// state, so a thread that ends so marked frees nothing.
char lostStateMark;

// A thread that ends hands its records back and frees its state, unless
// the detach already has (a record's life: engine_binding.h). The detach waits on the same lock, so the binding
// is still there while this runs.
void ThreadEnded(void* state) {
    auto* ended = static_cast<ThreadState*>(state);
    std::lock_guard<std::mutex> guard(liveStates.lock);
    if (liveStates.states.erase(ended) == 0) return;
    if (EngineBinding* engine = theEngine.Get()) engine->ReleaseThread(*ended);
    delete ended;
}

}  // namespace

ThreadState& CallingThreadState() {
    if (threadSlot == nullptr) throw std::bad_alloc();
    void* mine = platform::GetThreadSlot(threadSlot);
    if (mine != nullptr && mine != &lostStateMark) return *static_cast<ThreadState*>(mine);
    auto* state = new ThreadState;
    if (mine == &lostStateMark) state->errorText = outOfMemory;
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

void MarkStateLost() {
    if (threadSlot != nullptr) platform::SetThreadSlot(threadSlot, &lostStateMark);
}

bool ThreadStatesReady() {
    threadSlot = platform::NewThreadSlot(ThreadEnded);
    return threadSlot != nullptr;
}

// The slot goes first, so that no thread ending from now on reaches for a
// state; then every state left. Their records stay registered with the
// binding, which hands them back when it goes.
void ReleaseThreadStates() {
    platform::DeleteThreadSlot(threadSlot);
    threadSlot = nullptr;
    std::lock_guard<std::mutex> guard(liveStates.lock);
    for (ThreadState* state : liveStates.states) delete state;
    liveStates.states.clear();
}

void ThreadDetach() { platform::ThreadSlotEnded(threadSlot); }
