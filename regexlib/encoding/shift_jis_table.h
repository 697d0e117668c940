// The generated cp932 tables (shift_jis_table.cpp, written by
// make_shift_jis_table.pl); shift_jis_unicode.h is their interface.
#pragma once

#include <cstddef>
#include <cstdint>

namespace regexlib {

// Lead bytes 0x81-0x9F and 0xE0-0xFC, second bytes 0x40-0x7E and 0x80-0xFC.
constexpr std::size_t kShiftJisLeadCount = 60;
constexpr std::size_t kShiftJisSecondCount = 188;

constexpr std::size_t ShiftJisLeadIndex(unsigned lead) { return lead < 0xA0 ? lead - 0x81 : lead - 0xC1; }
constexpr std::size_t ShiftJisSecondIndex(unsigned second) { return second < 0x7F ? second - 0x40 : second - 0x41; }

extern const std::uint16_t kShiftJisSingleBytes[256];
extern const std::uint16_t kShiftJisPairs[kShiftJisLeadCount][kShiftJisSecondCount];
extern const std::size_t kShiftJisNotWrittenBackCount;
extern const std::uint16_t kShiftJisNotWrittenBack[];

}  // namespace regexlib
