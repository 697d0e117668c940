// The outside regular-expression library "bregexp.dll": its compiled-pattern
// record and the six entry points the module resolves. The library creates,
// fills and frees every record; the module only reads the words named here.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Eleven pointer-sized words; the module reads outputText, splitPairs,
// groupStarts, groupEnds and groupCount, and the library may use the others.
struct bregexp {
    char* outputText;     // after BSubst/BTrans: the result, zero-terminated
    char* outputEnd;
    void* reserved2;
    char** splitPairs;    // after BSplit: start and end (exclusive) per piece
    void* reserved4;
    void* reserved5;
    void* reserved6;
    void* libraryData;    // the library's own state behind this record
    char** groupStarts;   // after BMatch: groupCount + 1 starts, 0 = whole match
    char** groupEnds;     // the matching exclusive ends; null for an idle group
    std::intptr_t groupCount;
};

typedef int (*BMatchFunction)(const char* pattern, const char* subjectStart,
                              const char* subjectEnd, bregexp** record, char* message);
typedef int (*BSubstFunction)(const char* pattern, const char* subjectStart,
                              const char* subjectEnd, bregexp** record, char* message);
typedef int (*BTransFunction)(const char* pattern, const char* subjectStart,
                              const char* subjectEnd, bregexp** record, char* message);
typedef int (*BSplitFunction)(const char* pattern, const char* subjectStart,
                              const char* subjectEnd, int limit, bregexp** record,
                              char* message);
typedef void (*BRegfreeFunction)(bregexp* record);
typedef const char* (*BRegexpVersionFunction)();

}  // extern "C"

// Every call that compiles or runs a pattern gets a message buffer this long;
// the library always leaves a zero-terminated text in it.
constexpr std::size_t kMessageBufferSize = 80;

static_assert(sizeof(bregexp) == 11 * sizeof(void*), "the record is eleven words");
static_assert(sizeof(void*) != 4 || sizeof(bregexp) == 44,
              "on a 32-bit build the record is 44 bytes");
