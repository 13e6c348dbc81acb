// TransferCycle: one job over the terminal list — "&Send Data"'s download, or
// a receive. It walks the entries in list order and serves each ticked one
// with a terminal session of its own — the pause, the connect, the job's
// transfer, the disconnect — up to `parallel` terminals at the same time,
// never one terminal by two sessions at once (however its address is
// written); an entry whose terminal is being served waits for that session
// without holding up the entries after it. Whatever that number, the log
// reads the same: one block per entry in list order (a block is shown as
// soon as every earlier one is complete), then "* End *". An entry the job
// passes over is never connected. The journal gets
// each line the moment it is written, with the address of its terminal,
// except a receive's line per record.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cycle/cycle_job.h"
#include "session/terminal_session.h"
#include "session/terminal_state.h"

struct CycleEntry {
  std::string address;
  bool ticked = false;
};

// True when the cycle would serve any entry.
bool AnyTicked(const std::vector<CycleEntry>& entries);

struct CycleSettings {
  int pauseMs = 3000;  // before each connect
  int parallel = 1;    // terminals served at the same time
};

// What a cycle needs from the program around it.
class CycleHost {
 public:
  virtual ~CycleHost() = default;
  // A line of the log as the operator reads it, in list order. `progress`:
  // the running count of a PLU download, which replaces the log's last line
  // when that is an earlier count, else appends.
  virtual void Show(const std::string& line, bool progress) = 0;
  // A line of the work of `terminal` (empty: of the cycle itself) at the
  // moment it is written, for the journal.
  virtual void Journal(const std::string& terminal, const std::string& line, bool progress) = 0;
  virtual void TerminalStateChanged(const TerminalState& state) = 0;
  // The connection settings of the entry the cycle turns to now.
  virtual SessionSettings SettingsFor(const std::string& address) = 0;
  // The cycle is over, its "* End *" written.
  virtual void CycleEnded() {}
};

class TransferCycle {
 public:
  TransferCycle(const SessionServices& services, CycleHost& host, std::vector<CycleEntry> entries,
                std::unique_ptr<CycleJob> job, CycleSettings settings);
  ~TransferCycle();
  TransferCycle(const TransferCycle&) = delete;
  TransferCycle& operator=(const TransferCycle&) = delete;

  void Start();
  bool Running() const { return running_; }
  // The cycle turns to no further terminal.
  void Abandon();
  // The operator stops the cycle: no further terminal is served, the
  // terminals in flight are disconnected, each unfinished block ends with
  // its "- Stopped" line, and "* End *" closes the log once they all are.
  // An entry not yet turned to is not served, and its state says so.
  void Stop();
  bool Stopping() const { return stopping_; }
  // The session started last; null before the first.
  TerminalSession* Current() { return current_; }
  const TerminalSession* Current() const { return current_; }
  // Each ticked entry's state, in list order. Once the cycle turns to no
  // further terminal, an entry it never turned to is "not served".
  std::vector<TerminalState> States() const;
  const CycleJob& Job() const { return *job_; }

 private:
  struct Block;
  void Fill();
  // The entry to turn to next: the first one in list order that is waiting
  // for neither a free place nor its terminal; none when there is none.
  std::optional<std::size_t> NextEntry();
  void TurnTo(std::size_t entry);
  TerminalState NotTurnedTo(std::size_t entry) const;
  // Tells the state of each ticked entry the cycle will not turn to.
  void ShowNotServed();
  void Connect(Block& block);
  void Connected(Block& block, bool connected);
  // A line of the block's terminal: journalled, and placed in the log.
  void Write(Block& block, const std::string& line, bool progress);
  // Shown now when the block is the one shown live, else held until it is.
  void Place(Block& block, const std::string& line, bool progress);
  // A line of no terminal's: shown and journalled at once.
  void WriteOwn(const std::string& line);
  void Finish(Block& block);
  void Show();
  void EndIfDone();

  SessionServices services_;
  CycleHost& host_;
  std::vector<CycleEntry> entries_;
  std::unique_ptr<CycleJob> job_;
  CycleSettings settings_;
  bool running_ = false;
  bool stopping_ = false;
  std::vector<std::string> terminals_;  // each entry's terminal, as TerminalIdentity gives it
  std::size_t next_ = 0;                // the first entry not yet looked at
  std::size_t shown_ = 0;               // the first block not yet shown whole
  int active_ = 0;                      // sessions started and not yet finished
  std::vector<std::unique_ptr<Block>> blocks_;  // by entry; null until it is turned to
  std::set<std::string> busy_;                  // the terminals sessions serve now
  // The entries passed over because their terminal was busy, by terminal in
  // list order, and those whose terminal has come free since.
  std::map<std::string, std::deque<std::size_t>> waiting_;
  std::set<std::size_t> freed_;
  TerminalSession* current_ = nullptr;
};
