// DownloadJob: "&Send Data"'s work on each terminal: the download of the
// records prepared at the cycle's start, the same for every terminal.
#pragma once

#include "cycle/cycle_job.h"
#include "session/prepared_download.h"

class DownloadJob : public CycleJob {
 public:
  explicit DownloadJob(PreparedDownload download) : download_(download) {}
  void Start(TerminalSession& session) override;
  uint32_t RecordsToSend() const override { return download_.total; }

 private:
  PreparedDownload download_;
};
