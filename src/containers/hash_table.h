// RawHashTable: a chained hash table from texts to pointers it does not own;
// it only grows, and frees its nodes and key copies when destroyed.
// HashTable<T,N> types the values and asks for N buckets. An empty key is
// refused: Insert answers -1 and Lookup null.
#pragma once

#include <cstdint>
#include <memory>

#include "text/string_buffer.h"

// The bucket of a text: ELF-style hash with bytes widened with their sign.
std::uint32_t HashKey(const char* text, std::uint32_t bucketCount);

struct RawHashNode {
    RawHashNode* next;
    StringBuffer key;   // shares the caller's representation
    void* value;
};

class RawHashTable {
public:
    std::int32_t Insert(StringBuffer& key, void* value);
    void* Lookup(StringBuffer& key) const;

    std::int32_t bucketCount;
    // The bucket array is its own owning member, so it is released even when
    // the table's destruction is cut short.
    std::unique_ptr<RawHashNode*[]> buckets;

protected:
    explicit RawHashTable(std::int32_t requestedBuckets);
    RawHashTable(const RawHashTable&) = delete;
    RawHashTable& operator=(const RawHashTable&) = delete;
    virtual ~RawHashTable() = 0;
};

template <typename T, int N>
class HashTable : public RawHashTable {
public:
    HashTable() : RawHashTable(N) {}
    ~HashTable() override = default;

    std::int32_t Insert(StringBuffer& key, T value) { return RawHashTable::Insert(key, value); }
    T Lookup(StringBuffer& key) const { return static_cast<T>(RawHashTable::Lookup(key)); }
};
