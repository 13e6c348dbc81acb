// Uploads: the requests that ask a terminal for one record at a time, and the
// line writer that puts each received record into the upload file, each as
// the table of record kinds describes the kind.
#pragma once

#include <cstdint>

#include "records/record_kinds.h"

class TerminalSession;

// Asks for a record of data type `code`: `flag` 0 the first record of an
// upload or a Read, 1 the next one. A code no kind has asks nothing, and a
// kind of a single record (the speedkey) is asked for once.
void UploadNext(TerminalSession& session, uint8_t code, int flag);

// The record number with which a report upload begins.
int ReportFirstNumber(uint8_t reportCode);

// Writes `record`, a whole record of `kind` or null, as the kind's upload
// line into the upload file and the log, the kind's writer name after it in
// the log ("AddPlu"); nothing for a null record or a Read.
void AddUploadLine(TerminalSession& session, const RecordKind& kind, const uint8_t* record);
