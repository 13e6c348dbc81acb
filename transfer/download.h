// The download senders: each hands the next record of its kind to the
// terminal, or ends the download when nothing is left to send.
#pragma once

class TForm1;

// `flag` 0 starts a download at its first record, 1 sends the next one.
void DownloadNextPLU(TForm1& form, int flag);
void DownloadNextBarcode(TForm1& form, int flag);
void DownloadNextIngredient(TForm1& form, int flag);
void DownloadNextScrollMsg(TForm1& form, int flag);
void DownloadNextSpeedkey(TForm1& form, int flag);
