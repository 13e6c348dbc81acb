// One terminal's history as the daily journals in a folder hold it: its
// lines, newest first, and its blocks (each begins at the empty line a
// cycle or a step starts the terminal with), each with what it was (a send,
// a verification, a receive) and how it ended, as its lines say.
#pragma once

#include <string>
#include <vector>

struct JournalLine {
  std::string time;  // "2026-12-08T23:41:07", the local time it was written
  std::string text;  // as the activity log showed it
};

// Every line of the terminal of `address` in the journals of `folder`, newest first.
std::vector<JournalLine> TerminalHistory(const std::string& folder, const std::string& address);

enum class BlockKind { Other, Send, Verification, Receive };

struct JournalBlock {
  std::string time;  // of its first line
  BlockKind kind = BlockKind::Other;
  // The line that says how it ended ("- Complete Send Plu (Total : 2)",
  // "- Differs 127.0.0.2: …", "- Fail Connect 127.0.0.2"); empty while
  // none does.
  std::string outcome;
  // The file sent or compared (a receive: the folder it wrote into), as the
  // run's first line at the block's start names it; empty where none does.
  std::string file;
  std::vector<std::string> lines;  // in the order written
};

// The terminal's blocks in `history` (as TerminalHistory gives it), newest first.
std::vector<JournalBlock> TerminalBlocks(const std::vector<JournalLine>& history);
