// The cache protocol wrapped around every call into the library: a pattern
// text is compiled once, its record reused from then on, and every record is
// handed back to the library when the binding goes.
#include "engine/engine_binding.h"

bregexp* EngineBinding::LookupCompiled(StringBuffer& pattern) {
    // An empty pattern is never found, so it is compiled at every call.
    return patternCache.Lookup(pattern);
}

void EngineBinding::RegisterCompiled(StringBuffer& pattern, bregexp* cached, bregexp* record) {
    if (cached != nullptr || record == nullptr) return;
    // Registry first, cache second: every cached record is also registered,
    // and a record the cache refuses (empty pattern) is still handed back.
    compiled.Add(record, -1);
    patternCache.Insert(pattern, record);
}

void EngineBinding::ReleaseCompiled() {
    // Only the oldest record is probed; an empty registry probes as
    // unreadable, so a binding that never compiled keeps its library loaded.
    if (platform::IsBadReadPtr(compiled.GetAt(0), sizeof(bregexp)) != 0) return;
    while (compiled.count > 0) {
        BRegfree(compiled.GetAt(0));
        compiled.RemoveAt(0);
    }
    platform::FreeLibrary(library);
}
