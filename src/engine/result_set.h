// ResultSet: the packed positions left by the last match (one per group) or
// split (one per piece), with a read cursor. The set owns its items array,
// which a later set of no more items reuses; the calling thread's
// ThreadState owns the set.
#pragma once

#include <cstdint>

struct ResultSet {
    explicit ResultSet(std::int32_t itemCount);
    ~ResultSet();
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    // Starts a new walk over `itemCount` items, at most `capacity`.
    void Restart(std::int32_t itemCount) {
        next = 0;
        count = itemCount;
    }

    std::int32_t next;
    std::int32_t count;
    std::int32_t capacity;
    std::int32_t* items;
};
