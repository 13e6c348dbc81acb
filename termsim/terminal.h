// How a simulated terminal answers one request: a write stores the record
// and echoes it; a delete removes the record of its number and answers that
// number; a read answers the record asked for or the next higher one, or the
// "99" end when none is left; reports are produced on demand.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "termlink/record_table.h"
#include "termsim/terminal_memory.h"

// Status texts. The status code stands two and three places after the colon.
inline constexpr const char* kStatusEnd = "END: 99 No more records";
inline constexpr const char* kStatusLast = "END: 95 Last record";
inline constexpr const char* kStatusFull = "ERR: 90 Memory full";
inline constexpr const char* kStatusNotSaved = "ERR: 91 Record not saved";

struct TerminalAnswer {
  std::vector<uint8_t> record;  // of the request's kind
  bool endOfRecords = false;    // the read found nothing left: the "99" end
};

class Terminal {
 public:
  Terminal(std::string address, TerminalMemory& memory);

  const std::string& address() const { return address_; }
  // `record` has the size of `kind`; the direction is allowed for it.
  TerminalAnswer Answer(const termlink::RecordKind& kind, uint16_t direction,
                        std::span<const uint8_t> record);

 private:
  TerminalAnswer Write(const termlink::RecordKind& kind, std::span<const uint8_t> record);
  TerminalAnswer Delete(const termlink::RecordKind& kind, int64_t number);
  TerminalAnswer ReadRecord(const termlink::RecordKind& kind, int64_t number);
  TerminalAnswer ReadReport(const termlink::RecordKind& kind, int64_t number);

  std::string address_;
  TerminalMemory& memory_;
};

// A record of `kind` that carries only a status: number 0 and `status`.
std::vector<uint8_t> StatusRecord(const termlink::RecordKind& kind, const char* status);

// Turns a read answer into the last one of an upload: marker 95 gives it
// number 0 and the "95" status, marker 65535 the number 65535.
void MarkLastRecord(const termlink::RecordKind& kind, std::vector<uint8_t>& record,
                    uint32_t marker);
