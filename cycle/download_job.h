// DownloadJob: "&Send Data"'s work on each terminal: the download of the
// records prepared at the cycle's start, the same for every terminal, each
// session sharing the one checked download.
#pragma once

#include <utility>

#include "cycle/cycle_job.h"
#include "session/prepared_download.h"

class DownloadJob : public CycleJob {
 public:
  explicit DownloadJob(PreparedDownload download) : download_(std::move(download)) {}
  void Start(TerminalSession& session) override;
  uint32_t RecordsToSend() const override { return download_.Total(); }

 private:
  PreparedDownload download_;
};
