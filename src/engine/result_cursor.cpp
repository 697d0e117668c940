// Walking a thread's last result set, and cutting pieces out of its last
// subject. Only the calling thread's own state is read: no lock.
#include "engine/engine_binding.h"
#include "engine/packed_position.h"

std::int32_t EngineBinding::HasMoreResults(const ThreadState& thread) {
    const ResultSet* set = thread.results.Get();
    return set != nullptr && set->next < set->count ? 1 : 0;
}

std::int32_t EngineBinding::NextResult(ThreadState& thread) {
    if (HasMoreResults(thread) == 0) return kNoPosition;
    ResultSet& set = *thread.results.Get();
    return set.items[set.next++];
}

// The piece is clipped to the subject: a start at or past its end gives the
// empty text, a length past its end stops there.
TextSpan EngineBinding::ExtractText(ThreadState& thread, std::int32_t position) {
    const std::int32_t length = thread.lastSubject.GetLength();
    const auto start = static_cast<std::int32_t>(PositionOffset(position));
    if (position == kNoPosition || start >= length) return TextSpan{emptyString.GetText(), 0};
    std::int32_t count = static_cast<std::int32_t>(PositionLength(position));
    if (count > length - start) count = length - start;
    return TextSpan{thread.lastSubject.GetText() + start, count};
}
