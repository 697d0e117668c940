/* MOLV_Wrap: match, substitute, translate and split with regular
 * expressions, for hosts that pass 8-bit texts and 32-bit integers. The
 * module forwards every request to the library "bregexp.dll" (our own is
 * built with it) and adds a cache of compiled patterns, positions as texts
 * and a cursor over groups and split pieces. Plain C (C89 and later) and C++.
 *
 * Returned texts. Every text an export returns belongs to the module: read
 * it, never write through it or free it. A thread's text-returning exports
 * share one result string, so a returned text stays valid only until the
 * same thread's next call of any of them; copy it first to keep it. Each
 * thread has its own results, message, cursor and last subject.
 * MOLV_MOLVWVERSION returns a constant, and MOLV_POSTOSTR given an unusable
 * position returns "" without touching the previous result. A null text
 * argument, or one that cannot be read up to its terminator, counts as the
 * empty text. "" answers both "nothing" and "failure": after an empty
 * answer, a non-empty MOLV_ERRORMSG tells a failure (and MOLV_SPLIT's -1),
 * "out of memory" included.
 *
 * Positions. A match, a group or a split piece is handed out as the text
 * "offset:length", both decimal byte counts from the start of the subject
 * (MOLV_MATCH, MOLV_GETNEXT). Both numbers are kept in 16 bits: past 65535
 * bytes they wrap around modulo 65536. MOLV_POSTOSTR takes such a text back
 * and returns that piece of the last subject a match or split worked on;
 * MOLV_HASMORERESULTS and MOLV_GETNEXT walk the groups of the last match or
 * the pieces of the last split, once.
 */
#ifndef MOLV_WRAP_H
#define MOLV_WRAP_H

#include "molv_wrap_version.h"

/* The calling convention: cdecl, or stdcall for the DLL built with stdcall
 * exports (define MOLV_STDCALL before including this header). Both builds
 * export the same undecorated names. */
#if defined(_WIN32) && defined(MOLV_STDCALL)
#define MOLV_CALL __stdcall
#elif defined(_WIN32)
#define MOLV_CALL __cdecl
#else
#define MOLV_CALL
#endif

/* Empty for hosts; the module's own build marks the definitions exported. */
#ifndef MOLV_WRAP_EXPORT
#define MOLV_WRAP_EXPORT
#endif

/* The ten exports, listed once: name, result, parameters, number of
 * arguments. The declarations below, the module's export lists, the hosts'
 * lookup tables and the checks of the built files are all made from it. */
#define MOLV_WRAP_EXPORTS(X)                                                    \
    X(MOLV_MATCH, const char*, (const char* pattern, const char* subject), 2)   \
    X(MOLV_SUBST, const char*, (const char* pattern, const char* subject), 2)   \
    X(MOLV_TRANS, const char*, (const char* pattern, const char* subject), 2)   \
    X(MOLV_SPLIT, int, (const char* pattern, const char* subject, int limit), 3) \
    X(MOLV_GETNEXT, const char*, (void), 0)                                     \
    X(MOLV_HASMORERESULTS, int, (void), 0)                                      \
    X(MOLV_POSTOSTR, const char*, (const char* position), 1)                    \
    X(MOLV_ERRORMSG, const char*, (void), 0)                                    \
    X(MOLV_VERSION, const char*, (void), 0)                                     \
    X(MOLV_MOLVWVERSION, const char*, (void), 0)

#ifdef __cplusplus
extern "C" {
#endif

/* Each export, and the type of a pointer to it (MOLV_MATCH_FUNCTION ...)
 * for hosts that load the module at run time (dlopen, LoadLibraryA). */
#define MOLV_WRAP_DECLARE(name, result, parameters, count) \
    MOLV_WRAP_EXPORT result MOLV_CALL name parameters;    \
    typedef result(MOLV_CALL* name##_FUNCTION) parameters;
MOLV_WRAP_EXPORTS(MOLV_WRAP_DECLARE)
#undef MOLV_WRAP_DECLARE

#ifdef __cplusplus
}
#endif

#endif /* MOLV_WRAP_H */
