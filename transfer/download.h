// The download senders: each hands the next record of its kind to the
// terminal, or ends the download when nothing is left to send.
#pragma once

#include <cstdint>

class TForm1;

// `flag` 0 starts a download at its first record, 1 sends the next one.
void DownloadNextPLU(TForm1& form, int flag);
void DownloadNextBarcode(TForm1& form, int flag);
void DownloadNextIngredient(TForm1& form, int flag);
void DownloadNextScrollMsg(TForm1& form, int flag);
void DownloadNextSpeedkey(TForm1& form, int flag);

// The terminal did not store the record last sent: it answered under another
// number, or with a refusal status such as "ERR: 90 Memory full" in a record
// numbered 0 (kept in the transfer state by the caller). Logs the download's
// failure line for the kind of `code` and ends the transfer, so a send cycle
// moves on and nothing counts as complete.
void DownloadRefused(TForm1& form, uint8_t code);
