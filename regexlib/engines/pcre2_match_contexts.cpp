#include "engines/pcre2_match_contexts.h"

#include <pthread.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engines/engine_limits.h"

namespace regexlib {
namespace {

struct FreeContext {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
using ContextPointer = std::unique_ptr<pcre2_match_context, FreeContext>;

ContextPointer NewLimitedContext() {
    ContextPointer context(pcre2_match_context_create(nullptr));
    if (context == nullptr) return nullptr;
    pcre2_set_match_limit(context.get(), kMatchStepLimit);
    pcre2_set_depth_limit(context.get(), kMatchStepLimit);
    return context;
}

// What fills each of the JIT's first-use values: the test for executable
// memory, a first pattern compiled (the CPU's features and the compiler's
// constants) and a first JIT stack (the page size).
bool FillJitFirstUseValues() {
    pcre2_jit_compile(nullptr, PCRE2_JIT_TEST_ALLOC);
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>("a"), 1, 0, &error, &offset, nullptr);
    if (code != nullptr) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    pcre2_code_free(code);
    pcre2_jit_stack_free(pcre2_jit_stack_create(32 * 1024, 32 * 1024, nullptr));
    return true;
}

// One thread's JIT stack and the context that hands it to PCRE2. Making the
// stack reserves its kJitStackBytes of address space; memory is used only as
// deep as the matches on it reach.
struct ThreadStack {
    ThreadStack()
        : stack(pcre2_jit_stack_create(32 * 1024, kJitStackBytes, nullptr)), context(NewLimitedContext()) {
        if (stack != nullptr && context != nullptr) pcre2_jit_stack_assign(context.get(), nullptr, stack);
    }
    ~ThreadStack() { pcre2_jit_stack_free(stack); }
    ThreadStack(const ThreadStack&) = delete;
    ThreadStack& operator=(const ThreadStack&) = delete;
    bool Usable() const { return stack != nullptr && context != nullptr; }

    pcre2_jit_stack* stack;
    ContextPointer context;
};

// Every live thread's stack. A pthread key frees a thread's stack when the
// thread ends; the list frees the others when the library is unloaded. Not
// a thread_local object: glibc keeps a library whose thread_local
// destructors are pending loaded after its last dlclose, and the module
// relies on that dlclose unloading it.
class ThreadStacks {
public:
    ThreadStacks() { keyMade_ = pthread_key_create(&key_, &ThreadEnded) == 0; }
    ~ThreadStacks() {
        if (keyMade_) pthread_key_delete(key_);
    }
    ThreadStacks(const ThreadStacks&) = delete;
    ThreadStacks& operator=(const ThreadStacks&) = delete;

    pcre2_match_context* ForThisThread() {
        if (!keyMade_) return nullptr;
        if (void* mine = pthread_getspecific(key_)) return static_cast<ThreadStack*>(mine)->context.get();
        PrepareJitOnce();
        auto made = std::make_unique<ThreadStack>();
        if (!made->Usable()) return nullptr;
        ThreadStack* mine = made.get();
        std::lock_guard<std::mutex> lock(mutex_);
        stacks_.push_back(std::move(made));
        if (pthread_setspecific(key_, mine) != 0) {
            stacks_.pop_back();
            return nullptr;
        }
        return mine->context.get();
    }

private:
    static void ThreadEnded(void* stack);

    void Release(const ThreadStack* stack) {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = std::find_if(stacks_.begin(), stacks_.end(),
                                        [stack](const auto& held) { return held.get() == stack; });
        if (found != stacks_.end()) stacks_.erase(found);
    }

    pthread_key_t key_{};
    bool keyMade_ = false;
    std::mutex mutex_;
    std::vector<std::unique_ptr<ThreadStack>> stacks_;
};

ThreadStacks& AllThreadStacks() {
    static ThreadStacks stacks;
    return stacks;
}

void ThreadStacks::ThreadEnded(void* stack) { AllThreadStacks().Release(static_cast<ThreadStack*>(stack)); }

}  // namespace

void PrepareJitOnce() {
    // A thread-safe static: the first caller fills the values while any
    // other waits, and every later call is one check of a flag.
    static const bool filled = FillJitFirstUseValues();
    static_cast<void>(filled);
}

pcre2_match_context* SharedMatchContext() {
    static const ContextPointer shared = NewLimitedContext();
    return shared.get();
}

pcre2_match_context* MachineStackJitContext() {
    std::uint32_t builtInLimit = 0;
    pcre2_config(PCRE2_CONFIG_MATCHLIMIT, &builtInLimit);
    return builtInLimit == kMatchStepLimit ? nullptr : SharedMatchContext();
}

pcre2_match_context* ThreadStackMatchContext() { return AllThreadStacks().ForThisThread(); }

}  // namespace regexlib
