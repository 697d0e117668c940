// RecordRegistry: every compiled record the module holds, whichever thread
// holds it, with the order in which they were registered. It is the one
// piece of pattern state the threads share, so it has a lock, taken only
// when a record comes or goes, never on a cached call. Its count bounds the
// records of all threads together; at teardown it hands them all over,
// oldest registration first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bregexp.h"

// Records with the serials of their registration, in any order.
using SerialRecords = std::vector<std::pair<std::uint64_t, bregexp*>>;
// The records alone, oldest registration first.
std::vector<bregexp*> OldestFirst(SerialRecords records);

class RecordRegistry {
public:
    // Answers how many records are held with this one (may throw
    // std::bad_alloc, and then holds nothing new).
    std::size_t Add(bregexp* record);
    void Remove(bregexp* record);
    void Remove(const std::vector<bregexp*>& records);
    // Every record held, oldest registration first; the registry is left empty.
    std::vector<bregexp*> TakeAll();
    std::size_t Count();

private:
    std::mutex lock;
    std::uint64_t nextSerial = 0;
    std::unordered_map<bregexp*, std::uint64_t> serials;
};
