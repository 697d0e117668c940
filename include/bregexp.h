/* bregexp.dll: the regular-expression library MOLV_Wrap loads by name and
 * forwards every request to. Its six entry points and its compiled-pattern
 * record, written once: the module resolves the entry points from this list,
 * our own bregexp.dll defines them against it, and the test stand-in records
 * them. The library creates, fills and frees every record; its callers only
 * read the words named here. Plain C and C++.
 *
 * Calls. A subject is a pair of pointers, its first byte and one past its
 * last; a pattern is a zero-terminated text. A caller that holds the record
 * compiled for this very pattern text passes a null pattern and that record;
 * otherwise it passes the text and a null record pointer, and keeps the
 * record the library leaves there. A match answers more than 0 when it
 * matched, a split its number of pieces, a substitution more than 0 when it
 * replaced something, a translation 0 or more; anything less means no
 * result, and a failure leaves a message naming it.
 */
#ifndef BREGEXP_H
#define BREGEXP_H

#include <stdint.h>

/* The calling convention of every entry point: cdecl on 32-bit Windows,
 * the platform's own elsewhere. */
#if defined(_WIN32) && !defined(_WIN64)
#define BREGEXP_CALL __cdecl
#else
#define BREGEXP_CALL
#endif

/* Empty for callers; a library that defines the entry points marks them
 * exported by defining it before this header. */
#ifndef BREGEXP_EXPORT
#define BREGEXP_EXPORT
#endif

/* Eleven pointer-sized words; callers read outputText, splitPairs,
 * groupStarts, groupEnds and groupCount, and the library may use the rest. */
typedef struct bregexp {
    char* outputText;     /* after a substitution or translation: the result, zero-terminated */
    char* outputEnd;
    void* reserved2;
    char** splitPairs;    /* after a split: start and end (exclusive) per piece */
    void* reserved4;
    void* reserved5;
    void* reserved6;
    void* libraryData;    /* the library's own state behind this record */
    char** groupStarts;   /* after a match: groupCount + 1 starts, 0 = whole match */
    char** groupEnds;     /* the matching exclusive ends; null for an idle group */
    intptr_t groupCount;
} bregexp;

/* Every call that compiles or runs a pattern gets a message buffer this
 * long; the library always leaves a zero-terminated text in it. */
#define BREGEXP_MESSAGE_SIZE 80

/* The six entry points, listed once in the order they are looked up: name,
 * role, result, parameters. The declarations below, the module's binding,
 * the library's export lists and the checks of the built files are all
 * made from it; the role names a caller's table of them. */
#define BREGEXP_ENTRY_POINTS(X)                                                          \
    X(BMatch, match, int, (const char* pattern, const char* subjectStart,               \
                           const char* subjectEnd, bregexp** record, char* message))    \
    X(BSubst, subst, int, (const char* pattern, const char* subjectStart,               \
                           const char* subjectEnd, bregexp** record, char* message))    \
    X(BTrans, trans, int, (const char* pattern, const char* subjectStart,               \
                           const char* subjectEnd, bregexp** record, char* message))    \
    X(BSplit, split, int, (const char* pattern, const char* subjectStart,               \
                           const char* subjectEnd, int limit, bregexp** record,         \
                           char* message))                                              \
    X(BRegfree, regfree, void, (bregexp* record))                                       \
    X(BRegexpVersion, version, const char*, (void))

#ifdef __cplusplus
extern "C" {
#endif

/* Each entry point, and the type of a pointer to it (BMatchFunction ...)
 * for callers that resolve them at run time. */
#define BREGEXP_DECLARE(name, role, result, parameters) \
    BREGEXP_EXPORT result BREGEXP_CALL name parameters; \
    typedef result(BREGEXP_CALL* name##Function) parameters;
BREGEXP_ENTRY_POINTS(BREGEXP_DECLARE)
#undef BREGEXP_DECLARE

/* All six as one table, each under its role, for callers that call them by
 * what they do rather than by name. */
#define BREGEXP_TABLE_FIELD(name, role, result, parameters) name##Function role;
typedef struct bregexp_functions {
    BREGEXP_ENTRY_POINTS(BREGEXP_TABLE_FIELD)
} bregexp_functions;
#undef BREGEXP_TABLE_FIELD

#ifdef __cplusplus
}

#include <cstddef>
#include <type_traits>

constexpr std::size_t kMessageBufferSize = BREGEXP_MESSAGE_SIZE;

/* A library that defines the entry points states BREGEXP_ENTRY_POINTS(
 * BREGEXP_CHECK_DEFINITION) after them: a definition whose signature drifted
 * from the list would be an overload of its own, and taking its address
 * here no longer compiles. */
#define BREGEXP_CHECK_DEFINITION(name, role, result, parameters)           \
    static_assert(std::is_same<decltype(&name), name##Function>::value, \
                  #name " is defined as bregexp.h declares it");

static_assert(sizeof(bregexp) == 11 * sizeof(void*), "the record is eleven words");
static_assert(sizeof(void*) != 4 || sizeof(bregexp) == 44,
              "on a 32-bit build the record is 44 bytes");
#endif

#endif /* BREGEXP_H */
