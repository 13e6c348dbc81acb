#include "cycle/download_job.h"

#include "session/terminal_session.h"

void DownloadJob::Start(TerminalSession& session) {
  // With nothing to send (the reports) the terminal is left at once.
  if (download_.Empty()) return session.Disconnect();
  session.Download(download_);
}
