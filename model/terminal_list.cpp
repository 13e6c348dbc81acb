#include "model/terminal_list.h"

#include <utility>

void TerminalList::SetEntries(std::vector<TerminalEntry> entries) {
  entries_ = std::move(entries);
  selected_ = -1;
}

void TerminalList::Tick(std::size_t entry, bool ticked) {
  if (entry < entries_.size()) entries_[entry].ticked = ticked;
}

void TerminalList::Readdress(std::size_t entry, std::string address) {
  if (entry < entries_.size()) entries_[entry].address = std::move(address);
}

int TerminalList::Selected() const {
  return selected_ >= 0 && selected_ < static_cast<int>(entries_.size()) ? selected_ : -1;
}

std::vector<CycleEntry> TerminalList::Ticked() const {
  std::vector<CycleEntry> entries;
  for (const auto& entry : entries_) entries.push_back({entry.address, entry.ticked});
  return entries;
}

std::vector<CycleEntry> TerminalList::Only(int chosen) const {
  std::vector<CycleEntry> entries;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    entries.push_back({entries_[i].address, static_cast<int>(i) == chosen});
  }
  return entries;
}
