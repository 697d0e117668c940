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

// The piece is clipped to the subject: a start at or past its end gives the
// empty text, a length past its end stops there.
TextSpan EngineBinding::ExtractText(std::int32_t position) {
    const std::int32_t length = lastSubject.GetLength();
    const auto start = static_cast<std::int32_t>(PositionOffset(position));
    if (position == kNoPosition || start >= length) return TextSpan{emptyString.GetText(), 0};
    std::int32_t count = static_cast<std::int32_t>(PositionLength(position));
    if (count > length - start) count = length - start;
    return TextSpan{lastSubject.GetText() + start, count};
}
