// The journal's run lines: each send, changes send, verification, repair or
// receive begins in the day's journal with a line that names what ran, the
// data kind, its file (a receive: the folder of its files), the terminals it
// serves and how many at once, and who started it; and ends with a line of
// its totals. Only the journal has them: the activity log never shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/terminal_result.h"

enum class RunKind { Send, ChangesSend, Verification, Repair, Receive };

// "send", "changes send", "verification", "repair", "receive".
const char* RunName(RunKind ran);

struct RunStart {
  RunKind ran = RunKind::Send;
  uint8_t code = 0;       // the data type code it sends, reads back or receives
  std::string file;       // the download file, or the folder a receive writes into
  int terminals = 0;      // the entries it serves
  int atOnce = 1;         // served at the same time
  std::string startedBy;  // "window", "command line", "timer", ...
};

// "Run: changes send, PLU, file /srv/PLU-Down.txt, 6 terminals, 2 at once,
// started by timer".
std::string RunBeginLine(const RunStart& run);

// The file (a receive: the folder) that RunBeginLine `line` names; none
// when `line` is no such line.
std::optional<std::string> RunFileOf(const std::string& line);

// "Run ended: changes send, 6 terminals: 5 sent, 1 failed; 20004 of 24000
// records stored", from how each terminal ended (a repair: its final verdicts).
std::string RunEndLine(RunKind ran, const std::vector<TerminalResult>& results);
