// Answers from a terminal: the dispatch by data type code, each answer
// handled as the table of record kinds describes its kind.
#pragma once

#include <cstdint>

#include "termlink/termlink.h"

class TerminalSession;

// True for the data type codes of the table of record kinds.
bool IsDispatchedCode(uint8_t code);
// Calls the handler of the answer's code on the window's thread. `answer.Data`
// points at a record of `answer.DataLength` bytes valid for the call.
void DispatchAnswer(TerminalSession& session, const RequestPacket& answer);

// True when `number` is at least the record count of report `code`.
bool ReportLimitReached(int32_t number, uint8_t code);
