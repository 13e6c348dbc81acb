#include "cycle/transfer_cycle.h"

#include <algorithm>
#include <utility>

#include "session/download.h"
#include "settings/terminal_address.h"

// One entry's block of the log, and the session that serves a ticked entry.
struct TransferCycle::Block : SessionReport {
  Block(TransferCycle& cycle, std::size_t entry) : cycle(cycle), entry(entry) {}

  void Log(const std::string& line) override { cycle.Write(*this, line, false); }
  void LogProgress(const std::string& line) override { cycle.Write(*this, line, true); }
  void LogRecordLine(const std::string& line) override { cycle.Place(*this, line, false); }
  void StateChanged(const TerminalSession& changed) override {
    cycle.host_.TerminalStateChanged(State(changed));
  }
  void Disconnected(TerminalSession&) override { cycle.Finish(*this); }
  void RecordReceived(const TerminalSession& from, uint8_t code,
                      std::span<const uint8_t> record) override {
    cycle.job_->RecordReceived(from, code, record);
  }
  void RecordStored(const TerminalSession& from, uint8_t code,
                    const DownloadRecord& record) override {
    cycle.job_->RecordStored(from, code, record);
  }
  void RecordDeleted(const TerminalSession& from, uint8_t code, int64_t number) override {
    cycle.job_->RecordDeleted(from, code, number);
  }

  TerminalState State(const TerminalSession& of) const {
    TerminalState state = of.Glance();
    state.entry = static_cast<int>(entry);
    // Counted from the cycle's start, before the terminal's transfer begins.
    if (state.total == 0) state.total = cycle.job_->RecordsToSend();
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
      settings_(settings),
      blocks_(entries_.size()) {
  for (const CycleEntry& entry : entries_) terminals_.push_back(TerminalIdentity(entry.address));
}

TransferCycle::~TransferCycle() = default;

void TransferCycle::Start() {
  running_ = true;
  Fill();
}

std::vector<TerminalState> TransferCycle::States() const {
  std::vector<TerminalState> states;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].ticked) continue;
    const Block* block = blocks_[i].get();
    states.push_back(block ? block->State(*block->session) : NotTurnedTo(i));
  }
  return states;
}

TerminalState TransferCycle::NotTurnedTo(std::size_t entry) const {
  TerminalState state;
  state.address = entries_[entry].address;
  state.entry = static_cast<int>(entry);
  state.total = job_->RecordsToSend();
  if (!running_ || stopping_) state.failure = kNotServedReason;
  return state;
}

void TransferCycle::ShowNotServed() {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].ticked && !blocks_[i]) host_.TerminalStateChanged(NotTurnedTo(i));
  }
}

// Turns to further entries while fewer than `parallel` terminals are served.
void TransferCycle::Fill() {
  while (running_ && !stopping_ && active_ < settings_.parallel) {
    const std::optional<std::size_t> entry = NextEntry();
    if (!entry) break;
    TurnTo(*entry);
  }
  Show();
  EndIfDone();
}

std::optional<std::size_t> TransferCycle::NextEntry() {
  // A freed entry was passed over, so it comes before those not looked at.
  if (!freed_.empty()) return freed_.extract(freed_.begin()).value();
  while (next_ < entries_.size()) {
    const std::size_t entry = next_++;
    const std::string& terminal = terminals_[entry];
    if (!entries_[entry].ticked || !busy_.contains(terminal)) return entry;
    waiting_[terminal].push_back(entry);  // its terminal's session ends first
  }
  return std::nullopt;
}

void TransferCycle::TurnTo(std::size_t entry) {
  const CycleEntry& turned = entries_[entry];
  blocks_[entry] = std::make_unique<Block>(*this, entry);
  Block& added = *blocks_[entry];
  if (!turned.ticked) {
    for (const std::string& line : {std::string(), "- Skip Connect " + turned.address}) {
      Write(added, line, false);
    }
    added.complete = true;
    return;
  }
  SessionSettings settings = host_.SettingsFor(turned.address);
  settings.inCycle = true;
  added.session = std::make_unique<TerminalSession>(services_, added, std::move(settings));
  if (job_->PassOver(*added.session)) {
    added.complete = true;
    host_.TerminalStateChanged(added.State(*added.session));
    return;
  }
  current_ = added.session.get();
  busy_.insert(terminals_[entry]);
  ++active_;
  added.session->Pause(settings_.pauseMs, [this, &added] { Connect(added); });
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
    ShowNotServed();
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
  Place(block, line, progress);
}

void TransferCycle::Place(Block& block, const std::string& line, bool progress) {
  if (block.entry == shown_) {
    host_.Show(line, progress);
  } else if (progress && !block.held.empty() && IsProgressLine(block.held.back())) {
    block.held.back() = line;
  } else {
    block.held.push_back(line);
  }
}

void TransferCycle::Abandon() {
  running_ = false;
  ShowNotServed();
}

void TransferCycle::Stop() {
  if (!running_ || stopping_) return;
  stopping_ = true;
  ShowNotServed();
  for (const auto& block : blocks_) {
    if (!block || block->complete || !block->session) continue;
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
  const std::string& terminal = terminals_[block.entry];
  busy_.erase(terminal);
  if (const auto waiting = waiting_.find(terminal); waiting != waiting_.end()) {
    freed_.insert(waiting->second.front());
    waiting->second.pop_front();
    if (waiting->second.empty()) waiting_.erase(waiting);
  }
  host_.TerminalStateChanged(block.State(*block.session));
  --active_;
  Fill();
}

// Shows the blocks in list order: each complete one whole, then the lines so
// far of the first one still running, whose further lines are shown live.
// Once no further entry is turned to, one never turned to has no block.
void TransferCycle::Show() {
  while (shown_ < blocks_.size()) {
    if (!blocks_[shown_]) {
      if (running_ && !stopping_) return;
      ++shown_;
      continue;
    }
    Block& block = *blocks_[shown_];
    for (const std::string& line : block.held) host_.Show(line, false);
    block.held.clear();
    if (!block.complete) return;
    ++shown_;
  }
}

void TransferCycle::EndIfDone() {
  // Every block shown: each entry was turned to, or none will be.
  if (!running_ || active_ > 0 || shown_ < blocks_.size()) return;
  running_ = false;
  WriteOwn("");
  WriteOwn("* End *");
  host_.CycleEnded();
}

void TransferCycle::WriteOwn(const std::string& line) {
  host_.Journal("", line, false);
  host_.Show(line, false);
}
