// Building and tearing down the binding, the one place the entry points are
// called, and the cached version text.
#include "engine/engine_binding.h"

// Members are built in declaration order (the entry points, still null, the
// registry, the version text, its lock) before the library is loaded; when
// loading throws, they are destroyed again in reverse and the library
// handle is kept.
EngineBinding::EngineBinding(StringBuffer& libraryName) : library(nullptr), versionText(2) {
    library = platform::LoadLibraryA(libraryName.GetText());
    if (library == nullptr) throw DllNotFoundError();
    ResolveEntryPoints();
}

void EngineBinding::ResolveEntryPoints() {
    // All six are looked up, in the list's order, before any is tested.
#define MOLV_RESOLVE(name, role, result, parameters) \
    name = platform::ResolveEntryPoint<name##Function>(library, #name);
    BREGEXP_ENTRY_POINTS(MOLV_RESOLVE)
#undef MOLV_RESOLVE
#define MOLV_MISSING(name, role, result, parameters) name == nullptr ||
    if (BREGEXP_ENTRY_POINTS(MOLV_MISSING) false) throw DllProcAddressNotFoundError();
#undef MOLV_MISSING
}

// The records go back to the library first; the members follow in reverse
// order of declaration: the lock, the version text, the registry.
EngineBinding::~EngineBinding() { ReleaseCompiled(); }

StringBuffer EngineBinding::GetVersionText() {
    std::lock_guard<std::mutex> guard(versionLock);
    // Asked again only while the library has answered with an empty text.
    if (versionText.GetLength() == 0) versionText.Assign(BRegexpVersion(), 0, -1);
    return versionText;
}

std::int32_t EngineBinding::CallEntryPoint(Operation operation, const char* pattern,
                                           const char* start, const char* end,
                                           std::int32_t limit, bregexp** record,
                                           char* message) {
    switch (operation) {
    case Operation::kMatch: return BMatch(pattern, start, end, record, message);
    case Operation::kSubstitute: return BSubst(pattern, start, end, record, message);
    case Operation::kTranslate: return BTrans(pattern, start, end, record, message);
    case Operation::kSplit: return BSplit(pattern, start, end, limit, record, message);
    }
    return -1;
}

// ---- the records around every call into the library ----

// A new record joins the registry and the calling thread's cache. The bound
// counts the records of all threads together: past it, the thread makes
// room from its own least recently used records, the only ones it may hand
// back while other threads run (its records are among those counted, so it
// never holds more than the bound alone). A thread whose one record is the
// new one keeps it, so the module holds at most the bound plus one per
// thread.
void EngineBinding::RegisterCompiled(ThreadState& thread, TextSpan pattern, bregexp* cached,
                                     bregexp* record) {
    if (cached != nullptr || record == nullptr) return;
    std::size_t held = 0;
    try {
        held = compiled.Add(record);
    } catch (...) {
        // Out of memory: a record nobody holds goes back at once.
        BRegfree(record);
        throw;
    }
    PatternCache& mine = thread.patternCache;
    try {
        mine.Register({pattern.text, static_cast<std::size_t>(pattern.length)}, record);
    } catch (...) {
        GiveBack(record);
        throw;
    }
    if (mine.Count() > 1 && held > PatternCache::kCapacity) GiveBack(mine.EvictLeastRecent());
}

void EngineBinding::GiveBack(bregexp* record) {
    compiled.Remove(record);
    BRegfree(record);
}

void EngineBinding::ReleaseThread(ThreadState& thread) {
    const std::vector<bregexp*> records = thread.patternCache.TakeAll();
    compiled.Remove(records);
    for (bregexp* record : records) BRegfree(record);
}

void EngineBinding::ReleaseCompiled() {
    // Only the oldest record is probed; with none held the probe fails, so a
    // binding that never compiled keeps its library loaded.
    const std::vector<bregexp*> held = compiled.TakeAll();
    const bregexp* oldest = held.empty() ? nullptr : held.front();
    if (platform::IsBadReadPtr(oldest, sizeof(bregexp)) != 0) return;
    for (bregexp* record : held) BRegfree(record);
    platform::FreeLibrary(library);
}
