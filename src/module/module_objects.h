// The module-level objects, one of each per process: the engine binding
// (owned through theEngine), the module's own version text, and the state
// of every thread that has called the module: made at its first call,
// freed when the thread ends or the module is detached.
#pragma once

#include "containers/owning_pointer.h"
#include "engine/engine_binding.h"
#include "engine/thread_state.h"
#include "text/string_buffer.h"

extern OwningPointer<EngineBinding> theEngine;   // set at attach, freed at detach
extern const char* const moduleVersion;

// The messages of the module's own failures, made at start-up so that
// reporting one needs no allocation.
extern const StringBuffer outOfMemory;
extern const StringBuffer internalFailure;

// The calling thread's state, made on its first call (which may throw
// std::bad_alloc). A thread whose state could not be made is marked as
// such (MarkStateLost), and the state it gets later starts with the "out of
// memory" its failed call left.
ThreadState& CallingThreadState();
void MarkStateLost();

// The per-thread slot behind CallingThreadState, made at attach; false when
// the system has none left. Released at detach with every state left.
bool ThreadStatesReady();
void ReleaseThreadStates();

// Process attach and detach: build the one binding, and destroy it again
// with every thread's state. Thread detach frees the calling thread's.
bool ProcessAttach();
void ProcessDetach();
void ThreadDetach();
