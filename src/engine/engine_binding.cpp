// Building and tearing down the binding, and the cached version text.
#include "engine/engine_binding.h"

namespace {

// Looked up in this order, all of them, before any is tested.
constexpr const char* kEntryPointNames[] = {"BMatch", "BSubst", "BTrans",
                                             "BSplit", "BRegfree", "BRegexpVersion"};

}  // namespace

// Members are built in declaration order (the cache, the version text, the
// lock) before the library is loaded; when loading throws, they are
// destroyed again in reverse and the library handle is kept.
EngineBinding::EngineBinding(StringBuffer& libraryName)
    : library(nullptr),
      BMatch(nullptr),
      BSubst(nullptr),
      BTrans(nullptr),
      BSplit(nullptr),
      BRegfree(nullptr),
      BRegexpVersion(nullptr),
      versionText(2) {
    library = platform::LoadLibraryA(libraryName.GetText());
    if (library == nullptr) throw DllNotFoundError();
    ResolveEntryPoints();
}

void EngineBinding::ResolveEntryPoints() {
    using platform::ResolveEntryPoint;
    BMatch = ResolveEntryPoint<BMatchFunction>(library, kEntryPointNames[0]);
    BSubst = ResolveEntryPoint<BSubstFunction>(library, kEntryPointNames[1]);
    BTrans = ResolveEntryPoint<BTransFunction>(library, kEntryPointNames[2]);
    BSplit = ResolveEntryPoint<BSplitFunction>(library, kEntryPointNames[3]);
    BRegfree = ResolveEntryPoint<BRegfreeFunction>(library, kEntryPointNames[4]);
    BRegexpVersion = ResolveEntryPoint<BRegexpVersionFunction>(library, kEntryPointNames[5]);
    if (BMatch == nullptr || BSubst == nullptr || BTrans == nullptr || BSplit == nullptr ||
        BRegfree == nullptr || BRegexpVersion == nullptr) {
        throw DllProcAddressNotFoundError();
    }
}

// The records go back to the library first; the members follow in reverse
// order of declaration: the lock, the version text, the cache.
EngineBinding::~EngineBinding() { ReleaseCompiled(); }

StringBuffer EngineBinding::GetVersionText() {
    std::lock_guard<std::mutex> guard(lock);
    // Asked again only while the library has answered with an empty text.
    if (versionText.GetLength() == 0) versionText.Assign(BRegexpVersion(), 0, -1);
    return versionText;
}

// ---- the cache protocol around every call into the library ----

bregexp* EngineBinding::LookupCompiled(TextSpan pattern) {
    // An empty pattern is never found, so it is compiled at every call.
    return patternCache.Lookup({pattern.text, static_cast<std::size_t>(pattern.length)});
}

void EngineBinding::RegisterCompiled(TextSpan pattern, bregexp* cached, bregexp* record) {
    if (cached != nullptr || record == nullptr) return;
    // A full cache makes room by handing its least recently used record back
    // to the library: memory stays bounded however many patterns a host
    // builds. The new record is the most recent, so it is never the one.
    bregexp* evicted = nullptr;
    try {
        evicted = patternCache.Register({pattern.text, static_cast<std::size_t>(pattern.length)}, record);
    } catch (...) {
        // Out of memory: a record nobody holds goes back at once.
        BRegfree(record);
        throw;
    }
    if (evicted != nullptr) BRegfree(evicted);
}

void EngineBinding::ReleaseCompiled() {
    // Only the oldest record is probed; with none held the probe fails, so a
    // binding that never compiled keeps its library loaded.
    const std::vector<bregexp*> held = patternCache.TakeAll();
    const bregexp* oldest = held.empty() ? nullptr : held.front();
    if (platform::IsBadReadPtr(oldest, sizeof(bregexp)) != 0) return;
    for (bregexp* record : held) BRegfree(record);
    platform::FreeLibrary(library);
}
