// The hash table's hashing, insertion at the front of a chain and lookup.
#include "containers/hash_table.h"

namespace {

std::int32_t RoundedBucketCount(std::int32_t requested) {
    if (requested < 0) requested = 0;
    return static_cast<std::int32_t>((std::int64_t{requested} + 7) & ~std::int64_t{7});
}

}  // namespace

std::uint32_t HashKey(const char* text, std::uint32_t bucketCount) {
    std::uint32_t h = 0;
    for (; *text != 0; ++text) {
        // Bytes from 0x80 up count as negative, as a signed char would.
        h = (h << 4) + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(*text)));
        const std::uint32_t g = h & 0xF0000000u;
        if (g != 0) h = h ^ (g >> 24) ^ g;
    }
    return h % bucketCount;
}

RawHashTable::RawHashTable(std::int32_t requestedBuckets)
    : bucketCount(RoundedBucketCount(requestedBuckets)),
      buckets(new RawHashNode*[bucketCount]()) {}

RawHashTable::~RawHashTable() {
    for (std::int32_t index = 0; index < bucketCount; ++index) {
        for (RawHashNode* node = buckets[index]; node != nullptr;) {
            RawHashNode* following = node->next;
            delete node;
            node = following;
        }
    }
}

std::int32_t RawHashTable::Insert(StringBuffer& key, void* value) {
    if (key.GetLength() <= 0 || bucketCount <= 0) return -1;
    const std::uint32_t index = HashKey(key.GetText(), bucketCount);
    // No search for an equal key: the newest entry is found first.
    buckets[index] = new RawHashNode{buckets[index], key, value};
    return static_cast<std::int32_t>(index);
}

void* RawHashTable::Lookup(StringBuffer& key) const {
    if (key.GetLength() <= 0 || bucketCount <= 0) return nullptr;
    const std::uint32_t index = HashKey(key.GetText(), bucketCount);
    for (RawHashNode* node = buckets[index]; node != nullptr; node = node->next) {
        if (node->key.Compare(key, 1, -1) == 0) return node->value;
    }
    return nullptr;
}
