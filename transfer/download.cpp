// Downloads: the Download action parses the chosen file and the five senders
// hand its records to the terminal one at a time, each answer sending the next.
#include "transfer/download.h"

#include <string>

#include "app/tform1.h"
#include "link/request.h"
#include "records/record_tables.h"
#include "records/records.h"
#include "transfer/download_start.h"

namespace {

// One data kind's sender: its code and the name its log lines carry.
struct SenderKind {
  uint8_t code;
  const char* name;
};

std::string Counted(const char* before, uint32_t n) {
  return before + std::to_string(n) + ")";
}

// Log lines, where `n` is the number of records handed over so far. PLU
// lines carry the count, the other kinds' lines are fixed texts.
std::string SuccessLine(const SenderKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Success to Send Plu (", n)
                               : std::string("- Success to Send dataDownloadNext") + kind.name;
}
std::string CompletionLine(const SenderKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Complete Send Plu (Total : ", n)
                               : std::string("- CompleteDownloadNext") + kind.name;
}
std::string FailureLine(const SenderKind& kind, uint32_t n) {
  return kind.code == kCodePlu ? Counted("- Fail to Send Plu (", n)
                               : std::string("- Fail to Send dataDownloadNext") + kind.name;
}

bool LastLogLineStartsWith(const TForm1& form, const std::string& prefix) {
  const auto& lines = form.ActivityLog.Items;
  return !lines.empty() && lines.back().compare(0, prefix.size(), prefix) == 0;
}

// A PLU download keeps one progress line that counts up instead of a line per record.
void LogPluProgress(TForm1& form, const std::string& line) {
  if (LastLogLineStartsWith(form, "- Success to Send Plu")) {
    form.ReplaceLogLine(line, static_cast<int>(form.ActivityLog.Items.size()) - 1);
  } else {
    form.AddLog(line);
  }
}

template <class Record>
uint32_t RecordNumberOf(const Record& record) {
  return record.Number;
}
template <>
uint32_t RecordNumberOf(const PluRecord& record) {
  return static_cast<uint32_t>(record.PluNo);
}

// Ends the download at its failure line. A later answer then sends nothing.
void EndFailed(TForm1& form, const SenderKind& kind, TransferEnd end) {
  TransferState& state = form.Transfer;
  state.Direction = 0;
  if (state.End == TransferEnd::Running) state.End = end;
  form.AddLog(FailureLine(kind, state.RecordIndex));
}

// The common steps of every sender. `recordAt` gives the record at a table
// position counted from 1.
template <class Record, class RecordAt>
void SendNext(TForm1& form, int flag, const SenderKind& kind, RecordAt recordAt) {
  TransferState& state = form.Transfer;
  if (flag == 0) state.RecordIndex = 0;
  if (state.RecordIndex >= static_cast<uint32_t>(DownloadTotal < 0 ? 0 : DownloadTotal)) {
    // Every record handed over has been acknowledged as stored by now.
    state.End = TransferEnd::Complete;
    form.AddLog(CompletionLine(kind, state.RecordIndex));
    form.DisconnectTerminal();
    return;
  }
  const Record record = recordAt(static_cast<int>(state.RecordIndex) + 1);
  state.RecordNumber = RecordNumberOf(record);
  const RequestOutcome outcome =
      SendRequest(form, kind.code, kDirectionWrite, &record, sizeof record);
  // A record counts as handed over once the terminal is connected, whether
  // or not the library then accepts it.
  if (outcome != RequestOutcome::NotConnected) ++state.RecordIndex;
  if (outcome != RequestOutcome::Sent) {
    // Also for the last record: a refused record is never reported as a
    // complete download. The answer time-out moves a send cycle on. A link
    // that is no longer connected was closed from the terminal's side.
    EndFailed(form, kind,
              outcome == RequestOutcome::NotConnected ? TransferEnd::ClosedByTerminal
                                                      : TransferEnd::SendFailed);
  } else if (kind.code == kCodePlu) {
    LogPluProgress(form, SuccessLine(kind, state.RecordIndex));
  } else {
    form.AddLog(SuccessLine(kind, state.RecordIndex));
  }
}

template <class Record>
auto TableRecord(RecordTable<Record>& table) {
  return [&table](int position) { return table.At(position); };
}

const SenderKind kPlu{kCodePlu, "PLU"};
const SenderKind kBarcode{kCodeBarcode, "Barcode"};
const SenderKind kIngredient{kCodeIngredient, "Ingredient"};
const SenderKind kScrollMsg{kCodeScrollMsg, "ScrollMsg"};
const SenderKind kSpeedkey{kCodeSpeedkey, "Speedkey"};

const SenderKind* KindOf(uint8_t code) {
  for (const SenderKind* kind : {&kPlu, &kBarcode, &kIngredient, &kScrollMsg, &kSpeedkey}) {
    if (kind->code == code) return kind;
  }
  return nullptr;
}

}  // namespace

void DownloadRefused(TForm1& form, uint8_t code) {
  form.Transfer.Direction = 0;
  form.Transfer.End = TransferEnd::Refused;
  if (const SenderKind* kind = KindOf(code)) {
    form.AddLog(FailureLine(*kind, form.Transfer.RecordIndex));
  }
  form.DisconnectTerminal();
}

void DownloadNextPLU(TForm1& form, int flag) {
  SendNext<PluRecord>(form, flag, kPlu, TableRecord(PluTable));
}

void DownloadNextBarcode(TForm1& form, int flag) {
  SendNext<BarcodeRecord>(form, flag, kBarcode, TableRecord(BarcodeTable));
}

void DownloadNextIngredient(TForm1& form, int flag) {
  SendNext<IngredientRecord>(form, flag, kIngredient, TableRecord(IngredientTable));
}

void DownloadNextScrollMsg(TForm1& form, int flag) {
  SendNext<ScrollMsgRecord>(form, flag, kScrollMsg, TableRecord(ScrollMsgTable));
}

void DownloadNextSpeedkey(TForm1& form, int flag) {
  SendNext<SpeedkeyRecord>(form, flag, kSpeedkey, [](int) { return SpeedkeyData; });
}

void TForm1::Action4Execute() {
  // A send cycle read and checked its file once, at its start, so that every
  // terminal gets the same records; a send outside a cycle checks first too.
  if (CycleMode != "SEND" && !PrepareDownload(*this)) return;
  Transfer = TransferState{};
  Transfer.Direction = kDirectionWrite;
  StartPreparedDownload(*this);
}
