// The module-level objects, one of each per process: the engine binding
// (owned through theEngine), the shared result string every text-returning
// export hands to the host, and the module's own version text.
#pragma once

#include <cstdint>

#include "containers/owning_pointer.h"
#include "engine/engine_binding.h"
#include "text/string_buffer.h"

extern OwningPointer<EngineBinding> theEngine;   // theEngine.owns is ownsEngine
extern StringBuffer resultText;
extern const char* const moduleVersion;

// Shares the result's representation into resultText and returns its
// characters: valid, and unchanged, until the next hand-off.
const char* HandOff(const StringBuffer& result);
// The same for a text the module only reads: copied into resultText's own
// block when nobody else holds it; the empty text shares emptyString's.
const char* HandOff(TextSpan result);
// The position text of a packed position (the empty text for -1).
const char* HandOffPosition(std::int32_t position);

// Process attach and detach: build the one binding, and destroy it again.
bool ProcessAttach();
void ProcessDetach();
