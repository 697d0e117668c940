// ThreadState: what one calling thread owns, as it owns errno: its own
// compiled records of the patterns it used, the result string its
// text-returning exports hand out, the library's message from its last
// pattern operation, the positions of its last match or split with their
// cursor, that call's subject, and the copy of the subject its substitution
// or translation works on. Only its own thread touches it, so none of its
// calls waits for another thread's.
#pragma once

#include <cstdint>

#include "containers/owning_pointer.h"
#include "engine/pattern_cache.h"
#include "engine/result_set.h"
#include "text/string_buffer.h"

struct ThreadState {
    ThreadState();
    ThreadState(const ThreadState&) = delete;
    ThreadState& operator=(const ThreadState&) = delete;

    // Shares the result's representation into resultText and returns its
    // characters: valid, and unchanged, until this thread's next hand-off.
    const char* HandOff(const StringBuffer& result);
    // The same for a text the module only reads: copied into resultText's
    // own block when nobody else holds it; the empty text shares emptyString's.
    const char* HandOff(TextSpan result);
    // The position text of a packed position (the empty text for -1).
    const char* HandOffPosition(std::int32_t position);

    // The records are the library's and registered with the binding, which
    // hands them back (a record's life: engine_binding.h); destroying the
    // state leaves them alone.
    PatternCache patternCache;
    StringBuffer resultText;
    StringBuffer errorText;
    OwningPointer<ResultSet> results;   // the old set freed when replaced, the last with the state
    StringBuffer lastSubject;
    // The library reads the module's own copy of a subject, never the
    // host's memory, whatever the host does with its text meanwhile.
    StringBuffer workSubject;
};
