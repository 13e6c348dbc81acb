// Program: what Orlent is — the terminal list with its port, the send file,
// the data kind, the served terminal, the activity log — and the operations
// a front end orders: each takes a typed order (model/orders.h,
// model/receive_order.h) that carries everything it uses, and each cycle and
// the served terminal end in a typed result per terminal
// (model/terminal_result.h). It wires the parts that do the work: the
// terminal list and its edits with the settings file (ProgramSettings),
// the CycleRunner (one cycle at a time), the ServedTerminal (the
// single-terminal operations), start-up and close (program_start.cpp); it
// checks each order, and runs everything on the loop's thread. It is
// toolkit-free: the Qt window and the command line are its two front ends;
// they show it through a ProgramView and feed the operator's input through
// HandleEvent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cycle/held_keeper.h"
#include "cycle/transfer_cycle.h"
#include "cycle/verify_job.h"
#include "link/answer_router.h"
#include "link/link_library.h"
#include "loop/event_loop.h"
#include "model/activity_log.h"
#include "model/cycle_runner.h"
#include "model/data_kind.h"
#include "model/held_orders.h"
#include "model/held_state.h"
#include "model/journal.h"
#include "model/orders.h"
#include "model/program_settings.h"
#include "model/program_view.h"
#include "model/receive_order.h"
#include "model/repair_report.h"
#include "model/run_lines.h"
#include "model/send_plan.h"
#include "model/served_terminal.h"
#include "model/terminal_list.h"
#include "model/terminal_result.h"
#include "session/terminal_session.h"
#include "settings/folder_role.h"
#include "settings/terminal_settings.h"

class SettingsFile;
class UploadFile;

inline constexpr const char* kWindowCaption = "Orlent V3.0.0.0";

// What a front end sets for the start-up: the program's hold on its folder,
// and how values of the settings file that cannot be taken are handled.
struct StartUp {
  FolderRole role = FolderRole::Reader;
  // A value set aside is not shown by each load and stays in the settings
  // file at each save, so that every run finds it again, to refuse or to
  // name it (the command line). Else the window shows it once, and its next
  // save writes the value in use.
  bool keepSetAsideSettings = false;
  // Who starts the program's runs, as each run's first line in the journal
  // names it: "window", "command line", "timer", ...
  std::string startedBy = "window";
};

class Program : private SessionReport, private CycleHost {
 public:
  // `executablePath` is the full path of the running executable; the program
  // folder is derived from it.
  Program(EventLoop& loop, ProgramView& view, const LinkLibrary& link, std::string executablePath);
  ~Program() override;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The event boundary: runs one handler to its end. A failure escaping it is
  // shown by the default error handling and the program goes on; the view is
  // then told that control texts may have changed.
  void HandleEvent(const std::function<void()>& handler);

  // --- What the program is ---
  TerminalList& Terminals() { return kept_.List(); }
  const TerminalList& Terminals() const { return kept_.List(); }
  ActivityLog& Activity() { return log_; }
  const ActivityLog& Activity() const { return log_; }
  const KindChoice& Kind() const { return kind_; }
  // The download file: a bare name found in the program folder, or the path
  // picked in the file-open dialog (FileChosen).
  const std::string& SendFile() const { return sendFile_; }
  bool FileChosen() const { return fileChosen_; }
  // The upload file's name: made in the current directory; a full path is
  // taken as it stands.
  const std::string& UploadFileName() const { return uploadFile_; }
  void ChooseUploadFile(std::string name) { uploadFile_ = std::move(name); }
  // The terminal that the window's connect, disconnect, download and upload
  // name; it follows a send cycle as the terminal the cycle serves now.
  const std::string& ServedAddress() const { return served_.Address(); }
  void Serve(std::string address) { served_.Serve(std::move(address)); }
  // The library's wait per connect attempt (milliseconds) and its attempts,
  // as texts checked at each connect.
  void SetConnectAttempts(std::string intervalMs, std::string retries);
  // The program folder, without a trailing separator.
  const std::string& ProgramFolder() const { return programFolder_; }
  // The settings file, from Start to Close; none outside.
  SettingsFile* Settings() const { return kept_.File(); }
  // In place of the one Start opens, for a program that is not started.
  void UseSettingsFile(std::unique_ptr<SettingsFile> file);
  // The link library's table, and the router that takes its answers to the
  // session of their address: the active router while this program lives.
  const LinkLibrary& Link() const { return link_; }
  AnswerRouter& Router() { return router_; }
  // The link library's version, built at start-up.
  const std::string& VersionLine() const { return versionLine_; }
  // The full path of the running executable.
  const std::string& ExecutablePath() const { return executablePath_; }
  // The local time the journal and the received files' names are stamped
  // with: the system's, unless a test's clock is put in its place.
  std::chrono::local_seconds LocalTime() const { return clock_(); }
  void SetClock(LocalClock clock) { clock_ = std::move(clock); }

  // The send cycle's options in force: the settings file's, taken at
  // start-up and at each change in the Settings dialog. An order may give
  // its own for itself alone.
  const CycleOptions& CycleOptionsInForce() const { return inForce_; }
  // The send cycle's options as the settings file holds them.
  const CycleOptions& StoredCycleOptions() const { return kept_.CycleOptionsStored(); }
  // The terminals' character set: the one in force (the settings file's, at
  // start-up and at each change in the Settings dialog) and the one the
  // settings file holds.
  const CodePage& CodePageInForce() const { return codePageInForce_; }
  const CodePage& StoredCodePage() const { return kept_.CodePageStored(); }
  // The download file last picked in the file-open dialog, kept in the
  // settings file and chosen again at start-up while it exists; empty: none.
  const std::string& RememberedSendFile() const { return kept_.RememberedSendFile(); }
  // The values of the settings file that the last load could not take.
  const std::vector<SetAsideSetting>& SetAsideSettings() const { return kept_.SetAside(); }

  // --- Start-up, close and activity log ---
  void Start(const StartUp& startUp = {});
  // Saves the terminal list and the port, and lets go of the settings file.
  void Close();
  void AddLog(const std::string& text) { log_.Append(text); }
  void ReplaceLogLine(const std::string& text, int index) { log_.Replace(text, index); }
  // Leaves the window caption alone in the log.
  void ClearLog();

  // --- Terminal list: loaded, saved and edited: see ProgramSettings ---
  void LoadTerminalSettings() { kept_.Load(); }
  void SaveTerminalSettings() { kept_.Save(); }
  // The Settings dialog's OK: saves the cycle's options and the terminals'
  // character set and puts them in force. Refused while a cycle runs; a value
  // outside its key's range is refused.
  void ChangeSettings(const CycleOptions& options, const CodePage& codePage);
  bool AddTerminal(const std::string& address) { return kept_.Add(address); }
  // Deleting an entry, or changing its address to another terminal's, also
  // forgets what its terminal was held to hold, unless another entry still
  // names that terminal.
  bool DeleteTerminal();
  bool ChangeTerminal(const std::string& address);

  // --- Cycles: see CycleRunner ---
  // "&Send Data": a send cycle over the order's ticked entries. Refused,
  // with an error box, while a cycle runs, with no entry ticked, for an
  // option out of its range, a bad port or a bad download file.
  void Send(const SendOrder& order);
  // `order` again over the list as it stands with only the entries that
  // failed in the last cycle ticked (the last receive again, when the last
  // cycle was one); the list's own ticks stay as they are.
  void SendToFailedTerminals(const SendOrder& order);
  // "Receive…": a receive cycle; each terminal's records go to a file of its
  // own in the order's folder, made when missing. Refused, with an error
  // box, while a cycle runs, with no terminal to receive from, or when the
  // folder cannot be made.
  void ReceiveFromTerminals(const ReceiveOrder& order);
  // "Verify Terminals": a verification cycle over the order's ticked
  // entries: each one's records of the order's kind are read back and
  // compared with its file's. Refused, with an error box, as a send is, and
  // for a kind that no download writes (the reports).
  void Verify(const VerifyOrder& order);
  // What a changes send of the order's file would send to each of its
  // ticked entries; nothing is sent.
  SendPlan Plan(const PlanOrder& order);
  // True when the held state knows any record of any terminal.
  bool AnythingHeld();
  // A verification with repair is under way: its verification, the send to
  // the terminals that differ, or their verification again.
  bool Repairing() const { return repair_ && repair_->stage != RepairStage::Done; }
  // What the last verification with repair did; none before the first.
  const std::optional<RepairRun>& LastRepair() const { return repair_; }

  // --- What each terminal holds: Orlent.db in the program folder ---
  HeldState& Held() { return held_; }
  // What is held per terminal and kind (see HeldStore::Summaries); none,
  // with `error` set, when the held state cannot be read. Nothing is made
  // when there is no Orlent.db yet.
  std::optional<std::vector<HeldSummary>> HeldSummaries(const std::string& address, uint8_t code,
                                                        std::string& error);
  // Forgets what the terminal of `address` holds; false with `error` set
  // when it cannot be.
  bool ForgetHeld(const std::string& address, std::string& error);
  const CycleRunner& Cycles() const { return cycles_; }
  bool CycleRunning() const { return cycles_.Running(); }
  bool Receiving() const { return cycles_.Receiving(); }
  bool Verifying() const { return cycles_.Verifying(); }
  // Also ends a verification with repair at the cycle running.
  void StopCycle();
  // Gives up a cycle that stopped moving: it serves no further terminal, and
  // "&Send Data" is accepted again.
  void AbandonCycle();
  std::vector<TerminalState> CycleStates() const { return cycles_.States(); }
  std::vector<TerminalResult> Results() const { return cycles_.Results(); }
  std::vector<TerminalVerification> Verifications() const { return cycles_.Verifications(); }
  uint32_t CycleRecords() const { return cycles_.Records(); }

  // --- One terminal: the served one, or the one a running cycle serves ---
  // Each names its terminal, which becomes the served one.
  void Connect(const TerminalOrder& order);
  bool ConnectPending() const;
  void Disconnect(const TerminalOrder& order);
  // Sends the order's file to its terminal, outside a cycle; refused while one runs.
  void Download(const DownloadOrder& order);
  // Reads the order's records or report into its upload file.
  void Upload(const UploadOrder& order);
  // As above, into `file`, made and opened by the front end.
  void Upload(const UploadOrder& order, std::unique_ptr<UploadFile> file);
  // How the served terminal's operation ended, or where it stands: an upload
  // as a receive, anything else as a send; none before the first.
  std::optional<TerminalResult> ServedResult() const { return served_.Result(); }
  // The transfer of the terminal served last; empty before any.
  const TransferState& ServedTransfer() const;
  // The session of the served terminal as it stands, or the one a running
  // cycle serves now; none before the first single-terminal order.
  TerminalSession* Served();
  // Makes the session of the order's terminal the served one, or keeps it
  // when it serves that terminal, set up with the order's options; while a
  // cycle runs, the session it serves now. For a step of the link's own.
  TerminalSession& OpenServedSession(const TerminalOrder& order);

  // --- Data kind and download file ---
  // A data kind names its download and upload files, and chooses the PLU report.
  void ChooseDataKind(DataKind kind);
  void ChooseReportType(ReportType type) { kind_.report = type; }
  void ChooseSendFile(const std::string& path);
  // The file-open dialog's pick: chosen, remembered and saved.
  void PickSendFile(const std::string& path);
  // The download file a send of the choice in force reads.
  std::string DownloadFilePath() const;
  // The download file of `kind` in the program folder.
  std::string DownloadFileOf(DataKind kind) const;
  // "&Read File": lists the order's file in the log.
  void ReadFile(const ReadFileOrder& order);

 private:
  SessionServices Services();
  // Refuses, with its error box, an order that names no ticked entry or an
  // option out of its range.
  bool Refused(const std::vector<CycleEntry>& entries, const OrderOptions& options,
               const char* noTerminal);
  void StartReceive(std::vector<CycleEntry> entries, const ReceiveOrder& order);
  // The held state for one order, of the terminals on the port in force; a
  // store that cannot be used is told in the log, and none is kept.
  HeldKeeper Keeper();
  // Forgets what the terminal of `address` holds when no entry names it.
  void ForgetUnlisted(const std::string& address);
  // The verification with repair goes on with its next cycle.
  void NextRepairStage();
  void StartVerify(const VerifyOrder& order);
  // Commits the served terminal's held rows, and replaces them with what its
  // upload read.
  void CommitServed();
  // The served terminal's upload of `code` is to replace its held rows.
  void KeepServedRead(uint8_t code);
  // Checks the port and reads `kind`'s records of `file`; on any fault
  // shows the error box and gives nothing.
  std::optional<PreparedDownload> PrepareDownload(DataKind kind, const std::string& file,
                                                  const CodePage& codePage);

  // SessionReport of the served session and CycleHost: the log, the day's
  // journal and each terminal's state.
  void Log(const std::string& line) override;
  void LogProgress(const std::string& line) override;
  // A receive's line per record: the log's, never the journal's.
  void LogRecordLine(const std::string& line) override;
  void Show(const std::string& line, bool progress) override;
  void Journal(const std::string& terminal, const std::string& line, bool progress) override;
  void StateChanged(const TerminalSession& session) override;
  void Disconnected(TerminalSession&) override;
  void RecordStored(const TerminalSession& session, uint8_t code,
                    const DownloadRecord& record) override;
  void RecordDeleted(const TerminalSession& session, uint8_t code, int64_t number) override;
  void RecordReceived(const TerminalSession& session, uint8_t code,
                      std::span<const uint8_t> record) override;
  void TerminalStateChanged(const TerminalState& state) override;
  void CycleEnded() override;
  SessionSettings SettingsFor(const std::string& address) override;
  // A journal that cannot be written is told in the log, once.
  void ReportJournalFailure();
  // The run's first line in the journal, unless the cycle is a later stage
  // of a repair (its send, its verification again), which goes on its run.
  // A run still open (a cycle that never came to its end) is ended first.
  void BeginRun(RunKind ran, uint8_t code, const std::string& file,
                const std::vector<CycleEntry>& entries, const OrderOptions& options);
  // The open run's last line in the journal, with its totals; nothing when
  // no run is open.
  void EndRun();

  EventLoop& loop_;
  ProgramView& view_;
  LinkLibrary link_;
  AnswerRouter router_;
  std::string executablePath_;
  std::string programFolder_;
  StartUp startUp_;
  LocalClock clock_ = LocalNow;
  std::string versionLine_;

  ProgramSettings kept_{view_};
  CycleOptions inForce_;
  CodePage codePageInForce_;

  ActivityLog log_{view_};
  KindChoice kind_;
  std::string sendFile_;
  bool fileChosen_ = false;
  std::string uploadFile_;
  // Sessions go before the router they unroute their addresses from, and
  // what they keep of their terminals before the held state.
  HeldState held_;
  std::optional<HeldKeeper> servedKeeper_;
  std::unique_ptr<HeldBatch> servedBatch_;  // the served terminal's download
  struct ServedRead {
    uint8_t code = 0;
    std::vector<std::vector<uint8_t>> records;
  };
  std::optional<ServedRead> servedRead_;  // the served terminal's upload of records
  ServedTerminal served_;
  CycleRunner cycles_{view_};
  std::unique_ptr<DailyJournal> journal_;  // from Start, in the program folder's logs/
  std::optional<RepairRun> repair_;
  std::optional<RunKind> run_;  // the run whose first line the journal has, until its last
  std::string runLine_;         // that first line, which each terminal's block repeats
  // Posted work finds out whether the program still exists.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};
