// Limits that keep a catastrophic pattern from hanging a call: both engines
// stop after this much work and the call fails with the engine's message.
#pragma once

#include <cstddef>
#include <cstdint>

namespace regexlib {

// Backtracking steps one search may take (PCRE2's match limit, Oniguruma's
// retry limit per start position and per whole search).
constexpr std::uint32_t kMatchStepLimit = 10'000'000;
constexpr unsigned long kSearchRetryLimit = 50'000'000;

// The largest a thread's PCRE2 JIT stack grows to (its address space is
// reserved when the stack is made).
constexpr std::size_t kJitStackBytes = 4 * 1024 * 1024;

}  // namespace regexlib
