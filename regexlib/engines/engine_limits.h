// Limits that keep a catastrophic pattern from hanging a call: PCRE2 stops
// after this much work and the call fails with its message.
#pragma once

#include <cstddef>
#include <cstdint>

namespace regexlib {

// Backtracking steps one search may take (PCRE2's match and depth limits).
constexpr std::uint32_t kMatchStepLimit = 10'000'000;

// The largest a thread's PCRE2 JIT stack grows to (its address space is
// reserved when the stack is made).
constexpr std::size_t kJitStackBytes = 4 * 1024 * 1024;

}  // namespace regexlib
