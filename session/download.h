// The download senders: each hands the next record of its kind to the
// terminal, or ends the download when nothing is left to send.
#pragma once

#include <cstdint>

#include <string>

class TerminalSession;

// The running count of a PLU download is one log line that counts up.
inline bool IsProgressLine(const std::string& line) {
  return line.starts_with("- Success to Send Plu");
}

// Hands the next of the session's records (Prepared()) of data type `code`, a
// kind a download sends, to its terminal, or ends the download when nothing
// is left to send. `flag` 0 starts at the first record, 1 sends the next.
void DownloadNext(TerminalSession& session, uint8_t code, int flag);

// The terminal did not store the record last sent: it answered under another
// number, or with a refusal status such as "ERR: 90 Memory full" in a record
// numbered 0 (kept in the transfer state by the caller). Logs the download's
// failure line for the kind of `code` and ends the transfer, so a send cycle
// moves on and nothing counts as complete.
void DownloadRefused(TerminalSession& session, uint8_t code);
