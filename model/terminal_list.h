// The terminal list: the terminals' addresses in the order a cycle serves
// them, each with its tick, the one port of all of them, and the entry the
// operator selected for Delete, Change and a receive from one terminal.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cycle/transfer_cycle.h"
#include "settings/terminal_settings.h"

// Each entry's address is 8-bit text, kept byte for byte as typed.

class TerminalList {
 public:
  const std::vector<TerminalEntry>& Entries() const { return entries_; }
  // Puts `entries` in place of the list's; nothing is selected then.
  void SetEntries(std::vector<TerminalEntry> entries);
  // Ticks or unticks one entry; an entry outside the list is passed over.
  void Tick(std::size_t entry, bool ticked);
  // Gives one entry a new address; an entry outside the list is passed over.
  void Readdress(std::size_t entry, std::string address);

  // The port as typed, not checked until a terminal is connected.
  const std::string& Port() const { return port_; }
  void SetPort(std::string port) { port_ = std::move(port); }

  // The selected entry; -1 when none is, or when the one selected is gone.
  int Selected() const;
  void Select(int entry) { selected_ = entry; }

  // Each entry with its tick, as a cycle over the ticked ones takes them.
  std::vector<CycleEntry> Ticked() const;
  // Each entry, with `chosen` ticked alone (-1: none).
  std::vector<CycleEntry> Only(int chosen) const;

 private:
  std::vector<TerminalEntry> entries_;
  std::string port_;
  int selected_ = -1;
};
