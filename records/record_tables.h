// The program-wide record tables that a download file is parsed into and sent
// from, the single speedkey record.
#pragma once

#include <array>
#include <cstdint>

#include "records/records.h"

inline constexpr int kTableCapacity = 3334;

// Fixed capacity, filled from position 1 upward; a new parse overwrites from
// position 1 and leaves the positions beyond its own count as they were.
template <class Record>
struct RecordTable {
  std::array<Record, kTableCapacity> Records{};
  // Position counts from 1 to kTableCapacity.
  Record& At(int position) { return Records.at(static_cast<std::size_t>(position - 1)); }
};

extern RecordTable<PluRecord> PluTable;
extern RecordTable<BarcodeRecord> BarcodeTable;
extern RecordTable<IngredientRecord> IngredientTable;
extern RecordTable<ScrollMsgRecord> ScrollMsgTable;
extern SpeedkeyRecord SpeedkeyData;
