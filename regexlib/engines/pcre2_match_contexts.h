// The PCRE2 JIT's process-wide set-up, and the match contexts every
// compiled pattern shares. A JIT match runs first on PCRE2's own 32 KiB area
// of the machine stack, which costs nothing to set up; a match that needs
// more runs again on a JIT stack that grows up to kJitStackBytes. That stack
// is one per thread, made by the first match on the thread that needs it,
// and freed when the thread ends or the library is unloaded: a stack per
// pattern would reserve 4 MiB of address space for every pattern a caller
// keeps.
#pragma once

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace regexlib {

// PCRE2's JIT fills a few process-wide values on first use, without a lock:
// whether executable memory can be had, the CPU's features, the page size.
// Called before any JIT compile or JIT stack, it fills them once, so that
// threads compiling their first patterns at once only read them.
void PrepareJitOnce();

// The match limits alone, without a JIT stack. Never changed once made, so
// every thread may use it; null when out of memory.
pcre2_match_context* SharedMatchContext();

// What a JIT match on PCRE2's machine-stack area is given: no context at all
// when PCRE2's built-in match limit is ours (the JIT reads no other limit),
// which spares pcre2_jit_match copying it on every call; else the shared one.
pcre2_match_context* MachineStackJitContext();

// The same limits with the calling thread's JIT stack, made on first need;
// null when out of memory.
pcre2_match_context* ThreadStackMatchContext();

}  // namespace regexlib
