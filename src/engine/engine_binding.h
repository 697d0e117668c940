// EngineBinding: the one object that loads the outside library, forwards
// every request to it and keeps all working state: the pattern cache and
// registry, the last result set and subject, the version and message texts.
// Construction throws a DllLoadError when the library or an entry point is
// missing; every operation afterwards reports failure by value (-1 or "").
#pragma once

#include <cstdint>

#include "containers/owning_pointer.h"
#include "engine/bregexp.h"
#include "engine/pattern_cache.h"
#include "engine/result_set.h"
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

    StringBuffer& GetVersionText();

    // The pattern operations: a packed position or -1, a text, a count or -1.
    // A text answer is read at once: it lives until the next operation.
    std::int32_t Match(TextSpan pattern, TextSpan subject);
    TextSpan Substitute(TextSpan pattern, TextSpan subject);
    TextSpan Translate(TextSpan pattern, TextSpan subject);
    std::int32_t Split(TextSpan pattern, TextSpan subject, std::int32_t limit);

    // The cursor over the last result set, and cutting from the last subject
    // (the piece lives until the next match or split).
    std::int32_t HasMoreResults() const;
    std::int32_t NextResult();
    TextSpan ExtractText(std::int32_t position);

    platform::ModuleHandle library;
    BMatchFunction BMatch;
    BSubstFunction BSubst;
    BTransFunction BTrans;
    BSplitFunction BSplit;
    BRegfreeFunction BRegfree;
    BRegexpVersionFunction BRegexpVersion;
    PatternCache patternCache;          // also the registry of every record held
    OwningPointer<ResultSet> results;   // results.owns is the ownsResults flag
    StringBuffer lastSubject;
    StringBuffer versionText;
    StringBuffer errorText;
    // The subject of the current substitution or translation. The library
    // reads the module's own copy, never the host's memory, whatever the
    // host does with its text meanwhile.
    StringBuffer workSubject;

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
    Reply Forward(Operation operation, TextSpan pattern, TextSpan subject, std::int32_t limit);
    std::int32_t CallEntryPoint(Operation operation, const char* pattern, const char* start,
                                const char* end, std::int32_t limit, bregexp** record,
                                char* message);
    void KeepMessage(const char* message);
    // A set of `count` positions for this call, in the storage of the last
    // one when it is large enough; no set when `count` is 0.
    ResultSet* NewResults(std::int32_t count);

    // The cache protocol around every call, and its release at teardown.
    bregexp* LookupCompiled(TextSpan pattern);
    void RegisterCompiled(TextSpan pattern, bregexp* cached, bregexp* record);
    void ReleaseCompiled();
};
