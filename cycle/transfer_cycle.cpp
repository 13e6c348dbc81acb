#include "cycle/transfer_cycle.h"

#include <algorithm>
#include <utility>

#include "session/download.h"

// One entry's block of the log, and the session that serves a ticked entry.
struct TransferCycle::Block : SessionReport {
  Block(TransferCycle& cycle, std::size_t entry) : cycle(cycle), entry(entry) {}

  void Log(const std::string& line) override { cycle.Write(*this, line, false); }
  void LogProgress(const std::string& line) override { cycle.Write(*this, line, true); }
  void StateChanged(const TerminalSession& changed) override {
    cycle.host_.TerminalStateChanged(State(changed));
  }
  void Disconnected(TerminalSession&) override { cycle.Finish(*this); }
  void RecordReceived(const TerminalSession& from, uint8_t code,
                      std::span<const uint8_t> record) override {
    cycle.job_->RecordReceived(from, code, record);
  }

  TerminalState State(const TerminalSession& of) const {
    TerminalState state = of.Glance();
    state.entry = static_cast<int>(entry);
    cycle.job_->Amend(of, state);
    return state;
  }

  TransferCycle& cycle;
  std::size_t entry;
  std::vector<std::string> held;  // lines written while an earlier block is not complete
  bool complete = false;
  bool stopped = false;                      // the cycle was stopped while this block ran
  std::unique_ptr<TerminalSession> session;  // null for an entry not ticked
};

bool AnyTicked(const std::vector<CycleEntry>& entries) {
  return std::any_of(entries.begin(), entries.end(), [](const CycleEntry& e) { return e.ticked; });
}

TransferCycle::TransferCycle(const SessionServices& services, CycleHost& host,
                             std::vector<CycleEntry> entries, std::unique_ptr<CycleJob> job,
                             CycleSettings settings)
    : services_(services),
      host_(host),
      entries_(std::move(entries)),
      job_(std::move(job)),
      settings_(settings) {}

TransferCycle::~TransferCycle() = default;

void TransferCycle::Start() {
  running_ = true;
  Fill();
}

std::vector<TerminalState> TransferCycle::States() const {
  std::vector<TerminalState> states;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].ticked) continue;
    if (i < blocks_.size()) {
      states.push_back(blocks_[i]->State(*blocks_[i]->session));
    } else {
      TerminalState waiting;
      waiting.address = entries_[i].address;
      waiting.entry = static_cast<int>(i);
      if (stopping_) waiting.failure = "stopped";
      states.push_back(waiting);
    }
  }
  return states;
}

// Turns to further entries while fewer than `parallel` terminals are served.
void TransferCycle::Fill() {
  while (running_ && !stopping_ && active_ < settings_.parallel && next_ < entries_.size()) {
    const CycleEntry& entry = entries_[next_];
    if (entry.ticked && Busy(entry.address)) break;  // its other session ends first
    auto block = std::make_unique<Block>(*this, next_++);
    Block& added = *block;
    blocks_.push_back(std::move(block));
    if (!entry.ticked) {
      for (const std::string& line : {std::string(), "- Skip Connect " + entry.address}) {
        Write(added, line, false);
      }
      added.complete = true;
      continue;
    }
    SessionSettings settings = host_.SettingsFor(entry.address);
    settings.inCycle = true;
    added.session = std::make_unique<TerminalSession>(services_, added, std::move(settings));
    current_ = added.session.get();
    ++active_;
    added.session->Pause(settings_.pauseMs, [this, &added] { Connect(added); });
  }
  Show();
  EndIfDone();
}

bool TransferCycle::Busy(const std::string& address) const {
  for (const auto& block : blocks_) {
    if (!block->complete && block->session && block->session->Address() == address) return true;
  }
  return false;
}

void TransferCycle::Connect(Block& block) {
  try {
    block.session->Connect([this, &block](bool connected) { Connected(block, connected); });
  } catch (...) {
    // A port, retry or interval text that is not a number would otherwise
    // leave the cycle waiting at this terminal for ever, and "&Send Data"
    // refused from then on. End the cycle so the operator can correct the
    // text and start again; the failure itself is still shown.
    running_ = false;
    throw;
  }
}

void TransferCycle::Connected(Block& block, bool connected) {
  if (!connected) return Finish(block);
  if (!running_) return;  // given up: nothing more is sent
  if (block.stopped) return block.session->Disconnect();
  job_->Start(*block.session);
}

void TransferCycle::Write(Block& block, const std::string& line, bool progress) {
  host_.Journal(entries_[block.entry].address, line, progress);
  if (block.entry == shown_) {
    host_.Show(line, progress);
  } else if (progress && !block.held.empty() && IsProgressLine(block.held.back())) {
    block.held.back() = line;
  } else {
    block.held.push_back(line);
  }
}

void TransferCycle::Stop() {
  if (!running_ || stopping_) return;
  stopping_ = true;
  for (const auto& block : blocks_) {
    if (block->complete || !block->session) continue;
    block->stopped = true;
    TerminalSession& session = *block->session;
    const SessionPhase phase = session.Phase();
    session.Stop();  // disconnects a terminal in transfer, which finishes its block
    if (phase == SessionPhase::Pausing) {
      Write(*block, "", false);
      Finish(*block);
    }
  }
  Fill();
}

void TransferCycle::Finish(Block& block) {
  if (block.complete) return;
  if (block.stopped) Write(block, "- Stopped " + block.session->Address(), false);
  job_->Finished(*block.session);
  block.complete = true;
  block.session->Leave();
  host_.TerminalStateChanged(block.State(*block.session));
  --active_;
  Fill();
}

// Shows the blocks in list order: each complete one whole, then the lines so
// far of the first one still running, whose further lines are shown live.
void TransferCycle::Show() {
  while (shown_ < blocks_.size()) {
    Block& block = *blocks_[shown_];
    for (const std::string& line : block.held) host_.Show(line, false);
    block.held.clear();
    if (!block.complete) return;
    ++shown_;
  }
}

void TransferCycle::EndIfDone() {
  const bool turnedToAll = next_ == entries_.size() || stopping_;
  if (!running_ || active_ > 0 || !turnedToAll || shown_ < blocks_.size()) return;
  running_ = false;
  WriteOwn("");
  WriteOwn("* End *");
}

void TransferCycle::WriteOwn(const std::string& line) {
  host_.Journal("", line, false);
  host_.Show(line, false);
}
