#include "model/journal_history.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "model/run_lines.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTimeLength = 19;  // "2026-12-08T23:41:07"

// The day's journals in the folder, newest first: their names sort by date.
std::vector<fs::path> Journals(const std::string& folder) {
  std::vector<fs::path> journals;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("Orlent-") && name.ends_with(".log") && entry.is_regular_file(error)) {
      journals.push_back(entry.path());
    }
  }
  std::sort(journals.rbegin(), journals.rend());
  return journals;
}

// What a block's line says of the block: its kind, and whether it tells how it ended.
struct LineMeaning {
  BlockKind kind = BlockKind::Other;
  bool outcome = false;
  bool skipped = false;  // the entry was not ticked: the run passed it by
};

LineMeaning MeaningOf(std::string_view line) {
  const std::pair<std::string_view, LineMeaning> starts[] = {
      {"- Complete Send", {BlockKind::Send, true}},
      {"- CompleteDownloadNext", {BlockKind::Send, true}},
      {"- Fail to Send Plu", {BlockKind::Send, true}},
      {"- Fail to Send dataDownloadNext", {BlockKind::Send, true}},
      {"- Success to Send Plu", {BlockKind::Send, false}},
      {"- Changes ", {BlockKind::Send, false}},
      {"- No changes for ", {BlockKind::Send, true}},
      {"- Verified ", {BlockKind::Verification, true}},
      {"- Differs ", {BlockKind::Verification, true}},
      {"- Not proven ", {BlockKind::Verification, true}},
      {"- CompleteDataReceived", {BlockKind::Receive, true}},
      {"- Incomplete: ", {BlockKind::Receive, true}},
      {"- Fail Connect ", {BlockKind::Other, true}},
      {"- Time Out ", {BlockKind::Other, true}},
      {"- Stopped ", {BlockKind::Other, true}},
      {"- Skip Connect ", {BlockKind::Other, true, true}},
      // A run's first line at the block's start: what the block was, also
      // where it ended before saying so (a failed connect).
      {"Run: send, ", {BlockKind::Send, false}},
      {"Run: changes send, ", {BlockKind::Send, false}},
      {"Run: verification, ", {BlockKind::Verification, false}},
      {"Run: repair, ", {BlockKind::Verification, false}},
      {"Run: receive, ", {BlockKind::Receive, false}},
  };
  for (const auto& [start, meaning] : starts) {
    if (line.starts_with(start)) return meaning;
  }
  return {};
}

}  // namespace

std::vector<JournalLine> TerminalHistory(const std::string& folder, const std::string& address) {
  const std::string mark = " [" + address + "] ";
  std::vector<JournalLine> history;
  for (const fs::path& journal : Journals(folder)) {
    std::ifstream in(journal, std::ios::binary);
    std::vector<JournalLine> day;
    for (std::string line; std::getline(in, line);) {
      if (line.size() < kTimeLength + mark.size()) continue;
      if (line.compare(kTimeLength, mark.size(), mark) != 0) continue;
      day.push_back({line.substr(0, kTimeLength), line.substr(kTimeLength + mark.size())});
    }
    history.insert(history.end(), std::make_move_iterator(day.rbegin()),
                   std::make_move_iterator(day.rend()));
  }
  return history;
}

std::vector<JournalBlock> TerminalBlocks(const std::vector<JournalLine>& history) {
  std::vector<JournalBlock> blocks;
  JournalBlock block;
  // Walked oldest first, so that a block's lines come in the order written.
  for (auto line = history.rbegin(); line != history.rend(); ++line) {
    if (line->text.empty()) {
      if (!block.lines.empty()) blocks.push_back(std::move(block));
      block = JournalBlock{line->time, BlockKind::Other, {}, {}, {}};
      continue;
    }
    if (block.lines.empty() && block.time.empty()) block.time = line->time;
    block.lines.push_back(line->text);
    const LineMeaning meaning = MeaningOf(line->text);
    if (meaning.kind != BlockKind::Other || meaning.skipped) block.kind = meaning.kind;
    if (meaning.outcome) block.outcome = line->text;
    if (auto file = RunFileOf(line->text)) block.file = std::move(*file);
  }
  if (!block.lines.empty()) blocks.push_back(std::move(block));
  std::reverse(blocks.begin(), blocks.end());
  return blocks;
}
