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

// How the terminal ended a read, as far as its answers tell. Only the first
// two prove that the read saw every record after the number it started at.
enum class ReadEnd {
  None,        // the terminal has not ended the read (it runs, or was cut short)
  NoMore,      // status "99" in a record numbered 0: nothing after the number asked for
  Last,        // nothing can follow: the largest PLU number, the one speedkey record,
               // or a report's last record by its count
  Unnumbered,  // status "95": the last record came without its number
  EndNumber,   // the answer numbered 65535: the end, or a record that number stood for
};

struct TransferState {
  uint16_t Direction = 0;     // 2 upload, 3 download, 0 once the transfer is to end
  uint32_t RecordIndex = 0;   // download: records handed to the library so far
  uint32_t RecordNumber = 0;  // number of the latest record written or asked for
  uint32_t AnswerNumber = 0;  // number carried by the latest answer
  uint32_t Stored = 0;        // download: records the terminal acknowledged as stored;
                              // upload: records received, not the status answer that ends it
  uint32_t DeleteIndex = 0;   // download: deletions handed to the library so far
  uint32_t Deleted = 0;       // download: deletions the terminal acknowledged
  TransferEnd End = TransferEnd::Running;
  ReadEnd EndOfRead = ReadEnd::None;  // how the terminal ended a read
  std::string Refusal;                // the status text of the refusal that ended a download

  bool operator==(const TransferState&) const = default;
};
