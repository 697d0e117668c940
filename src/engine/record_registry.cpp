// The registry of held records: a serial number per record, so that it can
// give them back in registration order whatever order they left in.
#include "engine/record_registry.h"

#include <algorithm>
#include <utility>

std::size_t RecordRegistry::Add(bregexp* record) {
    std::lock_guard<std::mutex> guard(lock);
    serials.emplace(record, nextSerial++);
    return serials.size();
}

void RecordRegistry::Remove(bregexp* record) {
    std::lock_guard<std::mutex> guard(lock);
    serials.erase(record);
}

void RecordRegistry::Remove(const std::vector<bregexp*>& records) {
    std::lock_guard<std::mutex> guard(lock);
    for (bregexp* record : records) serials.erase(record);
}

std::vector<bregexp*> RecordRegistry::TakeAll() {
    std::vector<std::pair<std::uint64_t, bregexp*>> held;
    {
        std::lock_guard<std::mutex> guard(lock);
        held.reserve(serials.size());
        for (const auto& [record, serial] : serials) held.emplace_back(serial, record);
        serials.clear();
    }
    std::sort(held.begin(), held.end());
    std::vector<bregexp*> records;
    records.reserve(held.size());
    for (const auto& entry : held) records.push_back(entry.second);
    return records;
}

std::size_t RecordRegistry::Count() {
    std::lock_guard<std::mutex> guard(lock);
    return serials.size();
}
