// The files a receive writes: one per terminal and kind, named by the kind,
// the terminal's address and the local date ("Report-Time_127.0.0.2_2026-12-08.txt"),
// so that receives of other kinds, terminals or days never meet, and a second
// receive on the same day takes the next free name ("…_2026-12-08_2.txt")
// instead of overwriting the first.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The kind's part of the name ("PLU", "Barcode", "Report-Time", ...); empty
// for a data type code no receive serves.
std::string ReceivedKindName(uint8_t code);

// The first name of the kind, address and day that `folder` does not hold
// yet, as a path in `folder`.
std::string FreeReceivedFilePath(const std::string& folder, uint8_t code,
                                 const std::string& address, std::chrono::local_days day);

// True for the data type codes of the reports.
bool IsReportCode(uint8_t code);
