// What a front end asks of the core, one typed order per operation: a send,
// a verification, a listing of a download file, and the single-terminal
// steps. Each order carries everything the operation uses that the operator
// chose for it; the options it gives hold for it alone and are never saved.
// (A receive's order is in model/receive_order.h.)
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cycle/transfer_cycle.h"
#include "model/data_kind.h"
#include "model/order_options.h"

// A send cycle: the kind's records of `file` to every ticked entry.
struct SendOrder {
  DataKind kind = DataKind::Plu;
  std::string file;  // the download file's full path
  std::vector<CycleEntry> entries;
  OrderOptions options;
  // Each terminal is sent only the records it does not hold as the file has
  // them (a terminal with nothing held gets every record); else every record.
  bool changes = false;
  // With `changes`: the records a terminal holds that the file no longer has
  // are deleted from it.
  bool deleteMissing = false;
};

// A verification cycle: each ticked entry's records of the kind read back
// and compared with `file`'s.
struct VerifyOrder {
  DataKind kind = DataKind::Plu;
  std::string file;  // the download file's full path
  std::vector<CycleEntry> entries;
  OrderOptions options;
  // Then each differing terminal is sent exactly the records that differ or
  // are missing (and, with `deleteMissing`, its extra ones are deleted), and
  // read back.
  bool repair = false;
  bool deleteMissing = false;
};

// What a changes send of the kind's records of `file` would send to each
// ticked entry, worked out from the held state alone.
struct PlanOrder {
  DataKind kind = DataKind::Plu;
  std::string file;  // the download file's full path
  std::vector<CycleEntry> entries;
  OrderOptions options;  // the character set counts
  bool deleteMissing = false;
};

// "&Read File": the download file listed in the log.
struct ReadFileOrder {
  std::string file;                  // the download file's full path
  std::optional<CodePage> codePage;  // none: the one in force
};

// Connect or disconnect one terminal, outside a cycle; while a cycle runs,
// the terminal it serves now.
struct TerminalOrder {
  std::string address;
  OrderOptions options;  // the answer time-out and character set count
};

// The kind's records of `file` sent to one terminal, outside a cycle.
struct DownloadOrder {
  std::string address;
  DataKind kind = DataKind::Plu;
  std::string file;  // the download file's full path
  OrderOptions options;
};

// One terminal's records of a kind or one report read into a file.
struct UploadOrder {
  std::string address;
  uint8_t code = 0;  // the data type code asked for; 0: nothing is asked
  // The upload file: made in the current directory, a full path taken as it
  // stands; empty: none is written.
  std::string file;
  OrderOptions options;
};

// The reason a cycle's order is refused before any terminal is contacted,
// in the error box's words, or nothing: no entry ticked (`noTerminal` names
// the operation), or an option outside its key's range.
std::optional<std::string> Refusal(const std::vector<CycleEntry>& entries,
                                   const OrderOptions& options, const char* noTerminal);
