// Walking the last result set, and cutting pieces out of the last subject.
#include "engine/engine_binding.h"
#include "engine/packed_position.h"

std::int32_t EngineBinding::HasMoreResults() const {
    return results.Get() != nullptr && results->next < results->count ? 1 : 0;
}

std::int32_t EngineBinding::NextResult() {
    if (HasMoreResults() == 0) return kNoPosition;
    return results->items[results->next++];
}

StringBuffer EngineBinding::ExtractText(std::int32_t position) {
    if (position == kNoPosition || lastSubject.GetLength() == 0) return emptyString;
    return lastSubject.Mid(static_cast<std::int32_t>(PositionOffset(position)),
                           static_cast<std::int32_t>(PositionLength(position)));
}
