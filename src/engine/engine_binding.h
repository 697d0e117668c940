// EngineBinding: the one object that loads the outside library, forwards
// every request to it and keeps all working state: the pattern cache and
// registry, the last result set and subject, the version and message texts.
// Construction throws a DllLoadError when the library or an entry point is
// missing; every operation afterwards reports failure by value (-1 or "").
#pragma once

#include <cstdint>

#include "containers/hash_table.h"
#include "containers/owning_pointer.h"
#include "containers/ptr_link_list.h"
#include "engine/bregexp.h"
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
    std::int32_t Match(StringBuffer& pattern, StringBuffer& subject);
    StringBuffer Substitute(StringBuffer& pattern, StringBuffer& subject);
    StringBuffer Translate(StringBuffer& pattern, StringBuffer& subject);
    std::int32_t Split(StringBuffer& pattern, StringBuffer& subject, std::int32_t limit);

    // The cursor over the last result set, and cutting from the last subject.
    std::int32_t HasMoreResults() const;
    std::int32_t NextResult();
    StringBuffer ExtractText(std::int32_t position);

    platform::ModuleHandle library;
    BMatchFunction BMatch;
    BSubstFunction BSubst;
    BTransFunction BTrans;
    BSplitFunction BSplit;
    BRegfreeFunction BRegfree;
    BRegexpVersionFunction BRegexpVersion;
    HashTable<bregexp*, 11> patternCache;
    LinkList<bregexp, 0> compiled;
    OwningPointer<ResultSet> results;   // results.owns is the ownsResults flag
    StringBuffer lastSubject;
    StringBuffer versionText;
    StringBuffer errorText;

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
    Reply Forward(Operation operation, StringBuffer& pattern, StringBuffer& subject,
                  std::int32_t limit);
    std::int32_t CallEntryPoint(Operation operation, const char* pattern, const char* start,
                                const char* end, std::int32_t limit, bregexp** record,
                                char* message);

    // The cache protocol around every call, and its release at teardown.
    bregexp* LookupCompiled(StringBuffer& pattern);
    void RegisterCompiled(StringBuffer& pattern, bregexp* cached, bregexp* record);
    void ReleaseCompiled();
};
