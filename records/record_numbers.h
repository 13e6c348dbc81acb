// The record numbers a read-back of a terminal can tell from its end of
// records. A read asks for a number and is answered that record or the next
// higher one the terminal holds; an answer numbered 0 carries a status
// ("99": nothing after the number asked for; "95": the last record, its
// number replaced by the status), and one numbered 65535 ends the read. So a
// record numbered 0 or 65535 is taken for an end, and no record after a
// record 65535 is ever asked for. A download file holds only the numbers a
// read-back reaches under their own number, so that what was sent can always
// be read back and verified.
#pragma once

#include <cstdint>

// An answer with this number ends a read, for every kind (for PLU only the
// PLU number 65535 itself).
inline constexpr uint32_t kEndNumber = 65535;
// A verification reads PLUs from the lowest number, so that records that
// other software stored at 0 or below are seen; receives start at 1.
inline constexpr int32_t kLowestPluNumber = INT32_MIN;
// No PLU number follows it: a read that reaches it has seen every PLU.
inline constexpr int32_t kLargestPluNumber = INT32_MAX;

// Whether a download file may hold record number `number`: PLU numbers 1 to
// 2147483647 other than 65535, the other kinds' numbers 1 to 65534.
constexpr bool IsFileRecordNumber(bool plu, int64_t number) {
  return number >= 1 && number != kEndNumber && number <= (plu ? kLargestPluNumber : 65534);
}
