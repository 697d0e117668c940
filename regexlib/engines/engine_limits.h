// Limits that keep a catastrophic pattern from hanging a call or taking the
// host's memory: PCRE2 stops after this much work, and the search goes on
// with the linear engine where it can answer exactly, or fails with PCRE2's
// message.
#pragma once

#include <cstddef>
#include <cstdint>

namespace regexlib {

// Backtracking steps one search may take (PCRE2's match and depth limits).
constexpr std::uint32_t kMatchStepLimit = 10'000'000;

// The largest a thread's PCRE2 JIT stack grows to (its address space is
// reserved when the stack is made).
constexpr std::size_t kJitStackBytes = 4 * 1024 * 1024;

// A search that outgrew the JIT stack and that the linear engine cannot
// answer runs on PCRE2's interpreter, whose backtracking frames live on the
// heap: it may take kInterpreterHeapBase plus kInterpreterHeapPerByte for
// every byte of the subject, so that a loop over a long text still ends.
constexpr std::size_t kInterpreterHeapBase = 64 * 1024 * 1024;
constexpr std::size_t kInterpreterHeapPerByte = 512;

// What one RE2 object may grow to (its program and its DFAs' caches; past
// it a DFA starts again, or RE2 goes on with its slower NFA), and what all
// of the process's may hold together.
constexpr std::size_t kLinearObjectBytes = 8 * 1024 * 1024;
constexpr std::size_t kLinearEngineBudget = 64 * 1024 * 1024;

}  // namespace regexlib
