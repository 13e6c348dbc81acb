// Uploads: the requests that ask a terminal for one record at a time, and the
// line writers that put each received record into the upload file.
#pragma once

#include <cstdint>

#include "records/records.h"

class TerminalSession;

// `flag` 0 asks for the first record of an upload, 1 for the next one.
// UploadNext asks for a record of data type `code`; any other code asks nothing.
void UploadNext(TerminalSession& session, uint8_t code, int flag);
void UploadNextPLU(TerminalSession& session, int flag);
void UploadNextBarcode(TerminalSession& session, int flag);
void UploadNextIngredient(TerminalSession& session, int flag);
void UploadNextScrollMsg(TerminalSession& session, int flag);
void UploadNextSpeedkey(TerminalSession& session, int flag);
void UploadNextReportPLU(TerminalSession& session, int flag);
void UploadNextReportTime(TerminalSession& session, int flag);
void UploadNextReportGroup(TerminalSession& session, int flag);
void UploadNextReportDept(TerminalSession& session, int flag);

// The record number with which a report upload begins.
int ReportFirstNumber(uint8_t reportCode);

void AddPlu(TerminalSession& session, const PluRecord* record);
void AddBarcode(TerminalSession& session, const BarcodeRecord* record);
void AddScrollMsg(TerminalSession& session, const ScrollMsgRecord* record);
void AddIngredient(TerminalSession& session, const IngredientRecord* record);
void AddReportPLU(TerminalSession& session, const ReportPluRecord* record);
void AddReportTime(TerminalSession& session, const ReportTotalRecord* record);
void AddReportGroup(TerminalSession& session, const ReportTotalRecord* record);
void AddReportDept(TerminalSession& session, const ReportTotalRecord* record);
