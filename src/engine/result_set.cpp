// The result set's two allocations: the record and its exactly sized array.
#include "engine/result_set.h"

ResultSet::ResultSet(std::int32_t itemCount)
    : next(0), count(itemCount), items(new std::int32_t[itemCount]) {}

ResultSet::~ResultSet() { delete[] items; }
