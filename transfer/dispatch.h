// Answers from a terminal: the dispatch by data type code and the nine handlers.
#pragma once

#include <cstdint>

#include "termlink/termlink.h"

class TForm1;

// True for the nine data type codes that have a handler.
bool IsDispatchedCode(uint8_t code);
// Calls the handler of the answer's code on the window's thread. `answer.Data`
// points at a record of `answer.DataLength` bytes valid for the call.
void DispatchAnswer(TForm1& form, const RequestPacket& answer);

void DataReceivedPLU(TForm1& form, const RequestPacket& answer);
void DataReceivedBarcode(TForm1& form, const RequestPacket& answer);
void DataReceivedIngredient(TForm1& form, const RequestPacket& answer);
void DataReceivedScrollMsg(TForm1& form, const RequestPacket& answer);
void DataReceivedSpeedkey(TForm1& form, const RequestPacket& answer);
void DataReceivedReportPLU(TForm1& form, const RequestPacket& answer);
void DataReceivedReportTime(TForm1& form, const RequestPacket& answer);
void DataReceivedReportGroup(TForm1& form, const RequestPacket& answer);
void DataReceivedReportDept(TForm1& form, const RequestPacket& answer);

// True when `number` is at least the record count of report `code`.
bool ReportLimitReached(TForm1& form, int32_t number, uint8_t code);
