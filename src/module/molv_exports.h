// The ten functions a host calls. Texts in are zero-terminated 8-bit texts
// (null or unreadable ones count as empty); texts out belong to the module
// and stay valid until the next text-returning call. Failures answer "" or -1.
#pragma once

#include "platform/platform.h"

MOLV_API const char* MOLV_CALL MOLV_MATCH(const char* pattern, const char* subject);
MOLV_API const char* MOLV_CALL MOLV_SUBST(const char* pattern, const char* subject);
MOLV_API const char* MOLV_CALL MOLV_TRANS(const char* pattern, const char* subject);
MOLV_API int MOLV_CALL MOLV_SPLIT(const char* pattern, const char* subject, int limit);
MOLV_API const char* MOLV_CALL MOLV_GETNEXT();
MOLV_API int MOLV_CALL MOLV_HASMORERESULTS();
MOLV_API const char* MOLV_CALL MOLV_POSTOSTR(const char* positionText);
MOLV_API const char* MOLV_CALL MOLV_ERRORMSG();
MOLV_API const char* MOLV_CALL MOLV_VERSION();
MOLV_API const char* MOLV_CALL MOLV_MOLVWVERSION();
