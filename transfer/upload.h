// Uploads: the requests that ask a terminal for one record at a time, and the
// line writers that put each received record into the upload file.
#pragma once

#include <cstdint>

#include "records/records.h"

class TForm1;

// `flag` 0 asks for the first record of an upload, 1 for the next one.
void UploadNextPLU(TForm1& form, int flag);
void UploadNextBarcode(TForm1& form, int flag);
void UploadNextIngredient(TForm1& form, int flag);
void UploadNextScrollMsg(TForm1& form, int flag);
void UploadNextReportPLU(TForm1& form, int flag);
void UploadNextReportTime(TForm1& form, int flag);
void UploadNextReportGroup(TForm1& form, int flag);
void UploadNextReportDept(TForm1& form, int flag);

// The record number with which a report upload begins.
int ReportFirstNumber(TForm1& form, int interpreterId, uint8_t reportCode);

void AddPlu(TForm1& form, const PluRecord* record);
void AddBarcode(TForm1& form, const BarcodeRecord* record);
void AddScrollMsg(TForm1& form, const ScrollMsgRecord* record);
void AddIngredient(TForm1& form, const IngredientRecord* record);
void AddReportPLU(TForm1& form, const ReportPluRecord* record);
void AddReportTime(TForm1& form, const ReportTotalRecord* record);
void AddReportGroup(TForm1& form, const ReportTotalRecord* record);
void AddReportDept(TForm1& form, const ReportTotalRecord* record);
