// The deletions that follow a download's records: once every record is
// acknowledged, the record numbers of Prepared().Deletes() are handed to the
// terminal one at a time, each acknowledgment sending the next, and the
// download is complete when the last deletion is acknowledged.
#pragma once

#include <cstdint>

struct RecordKind;
class TerminalSession;

// Hands the next of the session's deletions of `kind` to its terminal, or
// ends the download as complete when every one is acknowledged.
void DeleteNext(TerminalSession& session, const RecordKind& kind);

// The terminal answered a delete request of `kind` with `record` (a whole
// record). It counts as deleted only when it carries the number asked for;
// a record numbered otherwise, or a refusal status in one numbered 0, ends
// the download as refused. An answer while no deletion awaits one changes
// nothing.
void DeleteAnswered(TerminalSession& session, const RecordKind& kind, const uint8_t* record);
