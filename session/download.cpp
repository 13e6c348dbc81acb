// Downloads: the five senders hand the prepared records to the terminal one
// at a time, each answer sending the next.
#include "session/download.h"

#include <string>

#include "records/record_tables.h"
#include "records/records.h"
#include "session/request.h"
#include "session/terminal_session.h"

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

template <class Record>
uint32_t RecordNumberOf(const Record& record) {
  return record.Number;
}
template <>
uint32_t RecordNumberOf(const PluRecord& record) {
  return static_cast<uint32_t>(record.PluNo);
}

// Ends the download at its failure line. A later answer then sends nothing.
void EndFailed(TerminalSession& session, const SenderKind& kind, TransferEnd end) {
  TransferState& state = session.State();
  state.Direction = 0;
  if (state.End == TransferEnd::Running) state.End = end;
  session.Log(FailureLine(kind, state.RecordIndex));
}

// The common steps of every sender. `recordAt` gives the record at a table
// position counted from 1.
template <class Record, class RecordAt>
void SendNext(TerminalSession& session, int flag, const SenderKind& kind, RecordAt recordAt) {
  TransferState& state = session.State();
  if (flag == 0) state.RecordIndex = 0;
  if (state.RecordIndex >= session.Prepared().total) {
    // Every record handed over has been acknowledged as stored by now.
    state.End = TransferEnd::Complete;
    session.Log(CompletionLine(kind, state.RecordIndex));
    session.Disconnect();
    return;
  }
  const Record record = recordAt(static_cast<int>(state.RecordIndex) + 1);
  state.RecordNumber = RecordNumberOf(record);
  const RequestOutcome outcome =
      SendRequest(session, kind.code, kDirectionWrite, &record, sizeof record);
  // A record counts as handed over once the terminal is connected, whether
  // or not the library then accepts it.
  if (outcome != RequestOutcome::NotConnected) ++state.RecordIndex;
  if (outcome != RequestOutcome::Sent) {
    // Also for the last record: a refused record is never reported as a
    // complete download. The answer time-out moves a send cycle on. A link
    // that is no longer connected was closed from the terminal's side.
    EndFailed(session, kind,
              outcome == RequestOutcome::NotConnected ? TransferEnd::ClosedByTerminal
                                                      : TransferEnd::SendFailed);
  } else if (kind.code == kCodePlu) {
    session.Report().LogProgress(SuccessLine(kind, state.RecordIndex));
  } else {
    session.Log(SuccessLine(kind, state.RecordIndex));
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

void DownloadRefused(TerminalSession& session, uint8_t code) {
  session.State().Direction = 0;
  session.State().End = TransferEnd::Refused;
  if (const SenderKind* kind = KindOf(code)) {
    session.Log(FailureLine(*kind, session.State().RecordIndex));
  }
  session.Disconnect();
}

void DownloadNext(TerminalSession& session, uint8_t code, int flag) {
  switch (code) {
    case kCodePlu:
      return SendNext<PluRecord>(session, flag, kPlu, TableRecord(PluTable));
    case kCodeBarcode:
      return SendNext<BarcodeRecord>(session, flag, kBarcode, TableRecord(BarcodeTable));
    case kCodeIngredient:
      return SendNext<IngredientRecord>(session, flag, kIngredient, TableRecord(IngredientTable));
    case kCodeScrollMsg:
      return SendNext<ScrollMsgRecord>(session, flag, kScrollMsg, TableRecord(ScrollMsgTable));
    case kCodeSpeedkey:
      return SendNext<SpeedkeyRecord>(session, flag, kSpeedkey, [](int) { return SpeedkeyData; });
    default:
      return;
  }
}
