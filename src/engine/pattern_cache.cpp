// A thread's cache of compiled records: a hash of the whole pattern text
// over a list kept in order of use.
#include "engine/pattern_cache.h"

#include <iterator>
#include <utility>

#include "engine/record_registry.h"

bregexp* PatternCache::Lookup(std::string_view text) {
    if (text.empty()) return nullptr;
    // A host usually repeats the pattern of its last call: no hashing then.
    if (!byUse.empty() && byUse.front().text == text) return byUse.front().record;
    const auto found = byText.find(text);
    if (found == byText.end()) return nullptr;
    byUse.splice(byUse.begin(), byUse, found->second);
    return found->second->record;
}

void PatternCache::Register(std::string_view text, bregexp* record) {
    byUse.push_front(Entry{std::string(text), record, nextSerial});
    if (!text.empty()) {
        try {
            byText[byUse.front().text] = byUse.begin();
        } catch (...) {
            byUse.pop_front();   // out of memory: the cache stays as it was
            throw;
        }
    }
    ++nextSerial;
}

bregexp* PatternCache::EvictLeastRecent() {
    if (byUse.empty()) return nullptr;
    const auto victim = std::prev(byUse.end());
    const auto key = byText.find(victim->text);
    if (key != byText.end() && key->second == victim) byText.erase(key);
    bregexp* record = victim->record;
    byUse.erase(victim);
    return record;
}

std::vector<bregexp*> PatternCache::TakeAll() {
    SerialRecords held;
    held.reserve(byUse.size());
    for (const Entry& entry : byUse) held.emplace_back(entry.serial, entry.record);
    byText.clear();
    byUse.clear();
    return OldestFirst(std::move(held));
}
