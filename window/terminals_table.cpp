#include "window/terminals_table.h"

#include <QDateTime>
#include <array>
#include <filesystem>
#include <utility>

#include "console/terminal_state_text.h"
#include "model/journal_history.h"
#include "model/program.h"
#include "records/record_kinds.h"
#include "settings/settings_file.h"
#include "settings/terminal_names.h"
#include "window/local_text.h"

namespace {

constexpr std::array<const char*, TerminalsTable::Columns> kHeadings = {
    "Name",      "Address",           "Ticked",       "Last cycle",
    "Last send", "Last verification", "Last receive", "Held"};

const char* CycleName(CycleKind kind) {
  switch (kind) {
    case CycleKind::Send:
      return "Send";
    case CycleKind::Receive:
      return "Receive";
    case CycleKind::Verify:
      break;
  }
  return "Verification";
}

// Each entry's state in the last cycle, by entry; empty for one not in it.
std::vector<std::string> LastCycle(const Program& program, std::size_t entries) {
  std::vector<std::string> texts(entries);
  const std::vector<TerminalState> states = program.CycleStates();
  const std::vector<TerminalResult> results = program.Results();
  const CycleKind kind = program.Cycles().LastKind();
  for (std::size_t i = 0; i < states.size() && i < results.size(); ++i) {
    const TerminalState& state = states[i];
    if (state.entry < 0 || static_cast<std::size_t>(state.entry) >= entries) continue;
    const std::string text =
        kind == CycleKind::Verify ? VerifiedStateText(state, results[i]) : TerminalStateText(state);
    // A receive names the file its records went into.
    const std::string& file = results[i].file;
    texts[static_cast<std::size_t>(state.entry)] =
        std::string(CycleName(kind)) + ": " + text + (file.empty() ? "" : ", " + file);
  }
  return texts;
}

// "2026-12-08 09:00:00 - Complete Send Plu (Total : 2), PLU-Down.txt": the
// file's name; the history has the whole path.
std::string BlockText(const JournalBlock& block) {
  std::string time = block.time;
  if (time.size() > 10) time[10] = ' ';
  std::string text = time + " " + (block.outcome.empty() ? "(did not end)" : block.outcome);
  if (!block.file.empty()) text += ", " + std::filesystem::path(block.file).filename().string();
  return text;
}

void FillFromJournal(TerminalRow& row, const std::string& journals) {
  for (const JournalBlock& block : TerminalBlocks(TerminalHistory(journals, row.address))) {
    std::string* cell = block.kind == BlockKind::Send           ? &row.lastSend
                        : block.kind == BlockKind::Verification ? &row.lastVerification
                        : block.kind == BlockKind::Receive      ? &row.lastReceive
                                                                : nullptr;
    if (cell && cell->empty()) *cell = BlockText(block);
  }
}

std::string HeldStateText(Program& program, const std::string& address) {
  std::string error;
  const auto summaries = program.HeldSummaries(address, 0, error);
  if (!summaries) return error;
  std::string text;
  for (const HeldSummary& held : *summaries) {
    const RecordKind* kind = KindOfCode(held.code);
    if (!text.empty()) text += "; ";
    text += std::string(kind ? kind->label : "?") + ": " + std::to_string(held.records) +
            " records, last acknowledged " +
            CoreText(QDateTime::fromSecsSinceEpoch(held.lastWhen).toString("yyyy-MM-dd HH:mm:ss"));
    if (!held.file.empty()) text += ", " + held.file;
  }
  return text;
}

}  // namespace

std::vector<TerminalRow> TerminalRows(Program& program) {
  const std::vector<TerminalEntry>& entries = program.Terminals().Entries();
  std::map<std::string, std::string> names;
  if (const SettingsFile* settings = program.Settings()) names = ReadTerminalNames(*settings);
  const std::vector<std::string> cycle = LastCycle(program, entries.size());
  const std::string journals = program.ProgramFolder() + "/logs";
  std::vector<TerminalRow> rows;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    TerminalRow row;
    row.address = entries[i].address;
    row.ticked = entries[i].ticked;
    if (const auto name = names.find(row.address); name != names.end()) row.name = name->second;
    row.lastCycle = cycle[i];
    FillFromJournal(row, journals);
    row.held = HeldStateText(program, row.address);
    rows.push_back(std::move(row));
  }
  return rows;
}

TerminalsTable::TerminalsTable(std::vector<TerminalRow> rows, Rename rename, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::move(rows)), rename_(std::move(rename)) {}

int TerminalsTable::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TerminalsTable::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Columns;
}

QVariant TerminalsTable::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TerminalRow& r = Row(index.row());
  if (index.column() == Ticked) {
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return r.ticked ? "yes" : "no";
    return {};
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole) return {};
  const std::string* cells[] = {&r.name,     &r.address,          nullptr,        &r.lastCycle,
                                &r.lastSend, &r.lastVerification, &r.lastReceive, &r.held};
  return ShownText(*cells[index.column()]);
}

void TerminalsTable::Replace(std::vector<TerminalRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

QVariant TerminalsTable::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section < 0 || section >= Columns) return {};
  return QString(kHeadings[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags TerminalsTable::flags(const QModelIndex& index) const {
  const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  return index.column() == Name ? flags | Qt::ItemIsEditable : flags;
}

bool TerminalsTable::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != Name || role != Qt::EditRole) return false;
  TerminalRow& row = rows_[static_cast<std::size_t>(index.row())];
  const std::string name = CoreText(value.toString().trimmed());
  if (name == row.name) return true;
  if (!rename_(row.address, name)) return false;
  row.name = name;
  emit dataChanged(index, index);
  return true;
}
