// Answers from a terminal: the dispatch by data type code and the nine handlers.
#pragma once

#include <cstdint>

#include "termlink/termlink.h"

class TerminalSession;

// True for the nine data type codes that have a handler.
bool IsDispatchedCode(uint8_t code);
// Calls the handler of the answer's code on the window's thread. `answer.Data`
// points at a record of `answer.DataLength` bytes valid for the call.
void DispatchAnswer(TerminalSession& session, const RequestPacket& answer);

void DataReceivedPLU(TerminalSession& session, const RequestPacket& answer);
void DataReceivedBarcode(TerminalSession& session, const RequestPacket& answer);
void DataReceivedIngredient(TerminalSession& session, const RequestPacket& answer);
void DataReceivedScrollMsg(TerminalSession& session, const RequestPacket& answer);
void DataReceivedSpeedkey(TerminalSession& session, const RequestPacket& answer);
void DataReceivedReportPLU(TerminalSession& session, const RequestPacket& answer);
void DataReceivedReportTime(TerminalSession& session, const RequestPacket& answer);
void DataReceivedReportGroup(TerminalSession& session, const RequestPacket& answer);
void DataReceivedReportDept(TerminalSession& session, const RequestPacket& answer);

// True when `number` is at least the record count of report `code`.
bool ReportLimitReached(int32_t number, uint8_t code);
