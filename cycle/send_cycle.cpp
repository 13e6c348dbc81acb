#include "cycle/send_cycle.h"

#include <utility>

SendCycle::SendCycle(const SessionServices& services, CycleHost& host,
                     std::vector<CycleEntry> entries, PreparedDownload download, int pauseMs)
    : services_(services),
      host_(host),
      entries_(std::move(entries)),
      download_(download),
      pauseMs_(pauseMs) {}

void SendCycle::Start() {
  running_ = true;
  next_ = 0;
  Next();
}

void SendCycle::Next() {
  if (current_) {
    current_->Leave();
    retired_ = std::move(current_);
  }
  for (; next_ < entries_.size(); ++next_) {
    const CycleEntry& entry = entries_[next_];
    if (entry.ticked) {
      ++next_;
      SessionSettings settings = host_.SettingsFor(entry.address);
      settings.inSendCycle = true;
      current_ = std::make_unique<TerminalSession>(services_, Report(), std::move(settings));
      current_->Pause(pauseMs_, [this] { ConnectCurrent(); });
      return;
    }
    host_.Log("");
    host_.Log("- Skip Connect " + entry.address);
  }
  running_ = false;
  host_.Log("");
  host_.Log("* End *");
}

void SendCycle::ConnectCurrent() {
  try {
    current_->Connect([this](bool connected) { Connected(connected); });
  } catch (...) {
    // A port, retry or interval text that is not a number would otherwise
    // leave the cycle waiting at this terminal for ever, and "&Send Data"
    // refused from then on. End the cycle so the operator can correct the
    // text and start again; the failure itself is still shown.
    running_ = false;
    throw;
  }
}

void SendCycle::Connected(bool connected) {
  if (!running_) return;
  if (!connected) return Next();
  // With nothing to send (the reports) the cycle moves on at once.
  if (download_.Empty()) return current_->Disconnect();
  current_->Download(download_);
}

void SendCycle::Disconnected(TerminalSession& session) {
  if (running_ && &session == current_.get()) Next();
}
