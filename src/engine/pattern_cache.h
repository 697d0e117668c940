// PatternCache: the compiled records the binding holds, at most `capacity`
// of them. A pattern text finds the record compiled from exactly that text
// (the empty text never does, its records are only held); when the cache is
// full, the least recently used record makes room and goes back to the
// caller, which hands it to the library. Lookup and registration take
// constant time on average, however many patterns a host has used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/bregexp.h"

class PatternCache {
public:
    // Bounds the memory a host that builds patterns from its data can make
    // the module and the library hold.
    static constexpr std::size_t kCapacity = 4096;

    explicit PatternCache(std::size_t capacity = kCapacity);

    // The record compiled from this text, now the most recently used, or null.
    bregexp* Lookup(std::string_view text);
    // Holds a newly compiled record, found under its text unless that is
    // empty. Answers the record evicted to make room, or null.
    bregexp* Register(std::string_view text, bregexp* record);
    // Every record held, oldest registration first; the cache is left empty.
    std::vector<bregexp*> TakeAll();

    std::size_t Count() const { return byUse.size(); }

private:
    struct Entry {
        std::string text;
        bregexp* record;
        std::uint64_t serial;   // registration order, for the teardown
    };
    using Entries = std::list<Entry>;

    bregexp* EvictLeastRecent();

    std::size_t capacity;
    std::uint64_t nextSerial = 0;
    Entries byUse;   // most recently used first
    // Keys view the texts inside the entries, which never move.
    std::unordered_map<std::string_view, Entries::iterator> byText;
};
