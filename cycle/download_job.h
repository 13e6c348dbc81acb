// DownloadJob: a send cycle's work on each terminal: the download of the
// file's records, and the held state kept of every record the terminal
// acknowledges. A whole send hands every terminal every record; a changes
// send hands each terminal its own records, those it does not hold as the
// file has them (and, when asked, the deletion of those the file no longer
// has), and passes over a terminal that needs nothing without connecting it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "cycle/cycle_job.h"
#include "cycle/held_keeper.h"
#include "held/change_plan.h"
#include "session/prepared_download.h"
#include "text/code_page.h"

// How a send chooses each terminal's records.
struct SendChoice {
  bool changes = false;        // only what the terminal does not hold
  bool deleteMissing = false;  // with `changes`: delete what the file no longer has
};

// "- Changes 127.0.0.2: 67 of 3334 (12 new, 55 changed), 3267 held already",
// with ", 3 to delete" when there are deletes; "- Changes 127.0.0.2: 3334 of
// 3334 (nothing held)" for a terminal that gets the whole file.
std::string ChangesLine(const std::string& address, const ChangePlan& plan);
// "- No changes for 127.0.0.2: 3334 held already".
std::string NoChangesLine(const std::string& address, const ChangePlan& plan);

class DownloadJob : public CycleJob {
 public:
  // `path` names the file `download` was read from, as the held rows keep it.
  DownloadJob(PreparedDownload download, std::string path, SendChoice choice, HeldKeeper keeper,
              CodePage codePage = {})
      : whole_(std::move(download)),
        path_(std::move(path)),
        choice_(choice),
        keeper_(keeper),
        codePage_(std::move(codePage)) {}

  bool PassOver(TerminalSession& session) override;
  void Start(TerminalSession& session) override;
  void RecordStored(const TerminalSession& session, uint8_t code,
                    const DownloadRecord& record) override;
  void RecordDeleted(const TerminalSession& session, uint8_t code, int64_t number) override;
  void Finished(TerminalSession& session) override;
  void Amend(const TerminalSession& session, TerminalState& state) const override;
  uint32_t RecordsToSend() const override { return whole_.Total(); }

 private:
  // One terminal's part: what it is sent, and the rows kept of it.
  struct Terminal {
    PreparedDownload download;
    std::optional<ChangePlan> plan;  // a changes send's, when the held state was read
    bool passedOver = false;
    std::unique_ptr<HeldBatch> batch;
  };
  // The terminal's part, its records chosen when it is first asked for.
  Terminal& TerminalFor(TerminalSession& session);
  void Choose(TerminalSession& session, Terminal& terminal);

  PreparedDownload whole_;
  std::string path_;
  SendChoice choice_;
  HeldKeeper keeper_;
  CodePage codePage_;
  std::map<const TerminalSession*, Terminal> terminals_;
};
