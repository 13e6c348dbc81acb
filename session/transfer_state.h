// The main window's record of the transfer now running, carried from one
// answer to the next. Zeroed at every transfer start.
#pragma once

#include <cstdint>
#include <string>

// How a transfer ended, as far as the program can tell; the summary of a
// send reads it to give each terminal's reason.
enum class TransferEnd {
  Running,           // not ended yet
  Complete,          // every record handed over was acknowledged as stored
  Refused,           // the terminal refused a record (see Refusal)
  SendFailed,        // a request could not be handed to the library
  TimedOut,          // no answer within the answer time-out, the link still up
  ClosedByTerminal,  // the connection was gone when a request or the time-out came
  NotForward,        // an upload answer's number did not move forward
  Stopped,           // the operator stopped it
};

struct TransferState {
  uint16_t Direction = 0;     // 2 upload, 3 download, 0 once the transfer is to end
  uint32_t RecordIndex = 0;   // download: records handed to the library so far
  uint32_t RecordNumber = 0;  // number of the latest record written or asked for
  uint32_t AnswerNumber = 0;  // number carried by the latest answer
  uint32_t Stored = 0;        // download: records the terminal acknowledged as stored;
                              // upload: records received
  TransferEnd End = TransferEnd::Running;
  std::string Refusal;  // the status text of the refusal that ended a download

  bool operator==(const TransferState&) const = default;
};
