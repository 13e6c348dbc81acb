// The words a front end shows for one terminal's state in a send cycle
// ("waiting", "sending 1200 / 3334", "failed: timed out", "stopped (1469
// sent, 1468 stored)", "not served", ...) and for the
// cycle's totals. Both front ends show the same words: the window beside
// each address and in its status bar, the command line in its live lines.
#pragma once

#include <string>
#include <vector>

#include "model/terminal_result.h"
#include "session/terminal_state.h"

// What one terminal is doing, or how it ended.
std::string TerminalStateText(const TerminalState& state);

// "sent" for a terminal that stored every record, else the reason it did not,
// or what it was still doing when the cycle ended.
std::string TerminalOutcome(const TerminalState& state);

// A result in the summaries' words: "sent", "received", "same", "different",
// "not proven", or the reason it did not end well, or what it was still
// doing when the cycle was given up.
std::string OutcomeText(const TerminalResult& result);

// One terminal's state in a verification, as the window's list reads it:
// "reading 120" while its records come in, then "same", "differs: 2
// different, 1 missing", "not proven: …" or the fault as TerminalStateText
// says it.
std::string VerifiedStateText(const TerminalState& state, const TerminalResult& result);

// A verification's totals from its results: "5 same, 1 differs, 0 failed",
// with "1 not proven", the stopped and the not served ones and "n to go"
// where there are any.
std::string VerificationTotalsText(const std::vector<TerminalResult>& results);

// True while the terminal's download runs and its progress can be drawn.
bool ShowsProgress(const TerminalState& state);

// The cycle as a whole, from each ticked entry's state: "3 terminals: 2 done,
// 1 failed; 6 of 9 records stored", with the entries a stop kept from their
// records ("1 stopped, 4 not served") and "n to go" while some are not over;
// a receive counts the records received instead.
std::string CycleTotalsText(const std::vector<TerminalState>& states);
