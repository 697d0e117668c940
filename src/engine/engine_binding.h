// EngineBinding: the one object that loads the outside library and forwards
// every request to it, keeping what all threads share: the library and its
// entry points, the registry of every compiled record, and the version
// text. A compiled record holds the state of its last call, so each thread
// works with records of its own, found in its ThreadState's cache: a cached
// call takes no lock and writes nothing another thread reads. What a call
// leaves for its thread (message, positions, subject, result text) goes to
// that thread's ThreadState too. Construction throws a DllLoadError when
// the library or an entry point is missing; every operation afterwards
// reports failure by value (-1 or "").
//
// A compiled record's life, told here only. The library makes it at the
// first call of a pattern on a thread; the binding registers it in the
// process's registry and the thread's cache keeps it. It goes back to the
// library (BRegfree) in one of three ways. Eviction: a new record that
// takes the registry past PatternCache::kCapacity sends its thread's least
// recently used record back, unless the new one is the thread's only one.
// The end of a thread: every record of its cache goes back. Detach: the
// threads' states are freed first, their records left registered; then the
// binding's destructor sends every registered record back, oldest first,
// and releases the library. When nothing was ever compiled (the oldest
// record cannot be read, as there is none), detach sends nothing back and
// leaves the library loaded. A record that cannot be registered or cached
// for want of memory goes back at once.
#pragma once

#include <cstdint>
#include <mutex>

#include "bregexp.h"
#include "containers/owning_pointer.h"
#include "engine/record_registry.h"
#include "engine/result_set.h"
#include "engine/thread_state.h"
#include "platform/platform.h"
#include "text/string_buffer.h"

// Load failures carry nothing; the attach handler only needs their type.
class DllLoadError {};
class DllNotFoundError : public DllLoadError {};
class DllProcAddressNotFoundError : public DllLoadError {};

class EngineBinding {
public:
    explicit EngineBinding(StringBuffer& libraryName);
    ~EngineBinding();
    EngineBinding(const EngineBinding&) = delete;
    EngineBinding& operator=(const EngineBinding&) = delete;

    // A copy sharing the cached text, asked of the library while empty.
    StringBuffer GetVersionText();

    // The pattern operations for the calling thread: a packed position or
    // -1, the text handed off into the thread's result string, a count or -1.
    std::int32_t Match(ThreadState& thread, TextSpan pattern, TextSpan subject);
    const char* Substitute(ThreadState& thread, TextSpan pattern, TextSpan subject);
    const char* Translate(ThreadState& thread, TextSpan pattern, TextSpan subject);
    std::int32_t Split(ThreadState& thread, TextSpan pattern, TextSpan subject, std::int32_t limit);

    // The cursor over the thread's last result set, and cutting from its
    // last subject (the piece lives until its next match or split).
    static std::int32_t HasMoreResults(const ThreadState& thread);
    static std::int32_t NextResult(ThreadState& thread);
    static TextSpan ExtractText(ThreadState& thread, std::int32_t position);

    // A thread that ends hands its records back to the library, oldest
    // first: nothing else could use them.
    void ReleaseThread(ThreadState& thread);

    platform::ModuleHandle library;
    // One pointer per entry point of bregexp.h, named and ordered as there.
#define MOLV_ENTRY_POINT_FIELD(name, role, result, parameters) name##Function name = nullptr;
    BREGEXP_ENTRY_POINTS(MOLV_ENTRY_POINT_FIELD)
#undef MOLV_ENTRY_POINT_FIELD
    RecordRegistry compiled;   // every record held, by every thread
    StringBuffer versionText;
    std::mutex versionLock;

private:
    enum class Operation { kMatch, kSubstitute, kTranslate, kSplit };

    // What one forwarded request left: the record as the library left it,
    // the subject start every offset is measured from, and the result code.
    struct Reply {
        bregexp* record;
        const char* subjectStart;
        std::int32_t rc;
    };

    void ResolveEntryPoints();
    // Runs with the thread's own records and its copy of the subject.
    Reply Forward(ThreadState& thread, Operation operation, TextSpan pattern, TextSpan subject,
                  std::int32_t limit);
    std::int32_t CallEntryPoint(Operation operation, const char* pattern, const char* start,
                                const char* end, std::int32_t limit, bregexp** record,
                                char* message);
    static void KeepMessage(ThreadState& thread, const char* message);
    // A set of `count` positions for this call, in the storage of the
    // thread's last one when it is large enough; no set when `count` is 0.
    static ResultSet* NewResults(ThreadState& thread, std::int32_t count);

    // The cache protocol around every call, and its release at teardown.
    void RegisterCompiled(ThreadState& thread, TextSpan pattern, bregexp* cached, bregexp* record);
    void GiveBack(bregexp* record);
    void ReleaseCompiled();
};
