// PatternCache: the compiled records one thread holds, each found by the
// pattern text it was compiled from (the empty text never finds one, its
// records are only held). Only its own thread touches it, so a cached call
// takes no lock. Its owner decides when to make room: the least recently
// used record then leaves and goes back to the caller, which hands it to
// the library. Lookup and registration take constant time on average.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bregexp.h"

class PatternCache {
public:
    // The bound on the records of all threads together, which bounds the
    // memory a host that builds patterns from its data can make the module
    // and the library hold. A thread keeps its newest record even past it,
    // so the module holds at most this plus one record per thread.
    static constexpr std::size_t kCapacity = 4096;

    // The record compiled from this text, now the most recently used, or null.
    bregexp* Lookup(std::string_view text);
    // Holds a newly compiled record, found under its text unless that is
    // empty; it is the most recently used.
    void Register(std::string_view text, bregexp* record);
    // Takes out the least recently used record; null when none is held.
    bregexp* EvictLeastRecent();
    // Every record held, oldest registration first; the cache is left empty.
    std::vector<bregexp*> TakeAll();

    std::size_t Count() const { return byUse.size(); }

private:
    struct Entry {
        std::string text;
        bregexp* record;
        std::uint64_t serial;   // registration order, for TakeAll
    };
    using Entries = std::list<Entry>;

    std::uint64_t nextSerial = 0;
    Entries byUse;   // most recently used first
    // Keys view the texts inside the entries, which never move.
    std::unordered_map<std::string_view, Entries::iterator> byText;
};
