// The module-level objects. They are built before the string class's shared
// empty string and destroyed after it, and attach runs once all are built.
#include "module/module_objects.h"

#include "engine/packed_position.h"
#include "molv_wrap_version.h"
#include "platform/platform.h"

MOLV_INIT_ORDER(1001) OwningPointer<EngineBinding> theEngine;
MOLV_INIT_ORDER(1002) StringBuffer resultText(2);
const char* const moduleVersion = MOLV_WRAP_VERSION;

const char* HandOff(const StringBuffer& result) {
    resultText = result;
    return resultText.GetText();
}

const char* HandOff(TextSpan result) {
    if (result.length == 0) return HandOff(emptyString);
    resultText.CopyIn(result);
    return resultText.GetText();
}

const char* HandOffPosition(std::int32_t position) {
    char text[kPositionTextSize];
    return HandOff(TextSpan{text, FormatPositionText(position, text)});
}
