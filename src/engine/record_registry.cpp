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

std::vector<bregexp*> OldestFirst(SerialRecords records) {
    std::sort(records.begin(), records.end());
    std::vector<bregexp*> oldestFirst;
    oldestFirst.reserve(records.size());
    for (const auto& entry : records) oldestFirst.push_back(entry.second);
    return oldestFirst;
}

std::vector<bregexp*> RecordRegistry::TakeAll() {
    SerialRecords held;
    {
        std::lock_guard<std::mutex> guard(lock);
        held.reserve(serials.size());
        for (const auto& [record, serial] : serials) held.emplace_back(serial, record);
        serials.clear();
    }
    return OldestFirst(std::move(held));
}

std::size_t RecordRegistry::Count() {
    std::lock_guard<std::mutex> guard(lock);
    return serials.size();
}
