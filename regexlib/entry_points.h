// The six entry points of our bregexp.dll. The module resolves them by name;
// the library's own tests and benchmarks link them directly through this
// header. Results and the record are those of bregexp.h.
#pragma once

#include "bregexp.h"

#define REGEXLIB_EXPORT extern "C" __attribute__((visibility("default")))

REGEXLIB_EXPORT int BMatch(const char* pattern, const char* subjectStart, const char* subjectEnd,
                           bregexp** record, char* message);
REGEXLIB_EXPORT int BSubst(const char* pattern, const char* subjectStart, const char* subjectEnd,
                           bregexp** record, char* message);
REGEXLIB_EXPORT int BTrans(const char* pattern, const char* subjectStart, const char* subjectEnd,
                           bregexp** record, char* message);
REGEXLIB_EXPORT int BSplit(const char* pattern, const char* subjectStart, const char* subjectEnd,
                           int limit, bregexp** record, char* message);
REGEXLIB_EXPORT void BRegfree(bregexp* record);
REGEXLIB_EXPORT const char* BRegexpVersion();
