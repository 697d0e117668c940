// The result set's two allocations: the record and its items array.
#include "engine/result_set.h"

ResultSet::ResultSet(std::int32_t itemCount)
    : next(0), count(itemCount), capacity(itemCount), items(new std::int32_t[itemCount]) {}

ResultSet::~ResultSet() { delete[] items; }
