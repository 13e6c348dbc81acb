// Answers from a terminal, as the link library hands them to the program's
// data callback, during an upload or a download of any kind: the dispatch by
// code and direction, the status-code rule and the other end rules.
//
// The input chooses the transfer, then a sequence of answers: mostly of the
// transfer's kind and full size, some of other codes, directions and lengths.
// Checks: an answer that no handler acts on (unknown code, other direction,
// no data, a short record, a report acknowledgment) changes nothing; an
// upload answer ends the upload exactly when its number is 0 with status
// "95" or "99" read within the status field (a reading of the rule written
// afresh here), or its number is 65535, or a report's count is reached, and
// otherwise asks for the next record; status "99" writes no line, every
// other upload answer writes one, but only an answer of the kind read that
// neither ends the upload by its marker nor comes out of order, while the
// upload runs, counts as a record received; an upload answer whose number is below the
// one asked for ends the upload with the request's failure line; the callback
// returns 1 for every answer. A download counts a record as stored only when
// its acknowledgment carries the number sent and no refusal status ("ERR:"
// in a record numbered 0): the count never exceeds the records handed over,
// and a refused answer never counts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "link/answer_router.h"
#include "records/checked_download.h"
#include "records/records.h"
#include "session/dispatch.h"
#include "session/download.h"
#include "session/prepared_download.h"
#include "session/terminal_session.h"

namespace {

// How a terminal's answer of each kind is read.
struct Kind {
  uint8_t code;
  uint16_t size;
  bool wideNumber;  // PluNo, an i32 at offset 2; else a u16 at offset 0
  uint16_t statusOffset;
  uint16_t statusSize;
  const char* writer;      // the line writer's name that ends its log line
  const char* completion;  // the completion line of status "99"
  const char* failure;     // the request's failure line
  int32_t reportCount;     // 0: not a report
};

const Kind kKinds[] = {
    {kCodePlu, 1718, true, 7, 428, "AddPlu", "- CompleteDataReceivedPLU",
     "- Fail to Send dataUploadNextPLU", 0},
    {kCodeBarcode, 156, false, 55, 101, "AddBarcode", "- CompleteDataReceivedBarcode",
     "- Fail to Send dataUploadNextBarcode", 0},
    {kCodeIngredient, 1027, false, 2, 1025, "AddIngredient", "- CompleteDataReceivedIngredient",
     "- Fail to Send dataUploadNextIngredient", 0},
    {kCodeScrollMsg, 224, false, 3, 101, "AddScrollMsg", "- CompleteDataReceivedScrollMsg",
     "- Fail to Send dataUploadNextScrollMsg", 0},
    {kCodeReportPlu, 183, false, 12, 107, "AddReportPLU", "- CompleteDataReceivedReportPLU",
     "- Fail to Send dataUploadNextReportPLU", 10000},
    {kCodeReportTime, 139, false, 12, 107, "AddReportTime", "- CompleteDataReceivedReportTime",
     "- Fail to Send dataUploadNextReportTime", 24},
    {kCodeReportGroup, 139, false, 12, 107, "AddReportGroup", "- CompleteDataReceivedReportGroup",
     "- Fail to Send dataUploadNextReportGroup", 100},
    {kCodeReportDept, 139, false, 12, 107, "AddReportDept", "- CompleteDataReceivedReportDept",
     "- Fail to Send dataUploadNextReportDept", 100},
    {kCodeSpeedkey, 903, false, 2, 101, nullptr, "- CompleteDataReceivedSpeedkey", nullptr, 0},
};
constexpr std::size_t kUploadKinds = 8;  // all but the speedkey kind

const Kind* KindOf(uint8_t code) {
  for (const Kind& kind : kKinds) {
    if (kind.code == code) return &kind;
  }
  return nullptr;
}

uint32_t NumberOf(const Kind& kind, const uint8_t* record) {
  if (kind.wideNumber) {
    int32_t number;
    std::memcpy(&number, record + 2, sizeof number);
    return static_cast<uint32_t>(number);
  }
  return static_cast<uint32_t>(record[0] | (record[1] << 8));
}

// The status code read afresh: the text ends at its first zero byte or at the
// end of its field, and the two characters two and three places after its
// first colon count, a position past the text's end as a zero byte.
std::string StatusOf(const Kind& kind, const uint8_t* record) {
  const char* text = reinterpret_cast<const char*>(record + kind.statusOffset);
  std::size_t length = 0;
  while (length < kind.statusSize && text[length] != '\0') ++length;
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] != ':') continue;
    auto at = [&](std::size_t p) { return p < length ? text[p] : '\0'; };
    return std::string{at(i + 2), at(i + 3)};
  }
  return {};
}

// The link library as the program sees it: always connected, every request taken.
struct Calls {
  int sends = 0;
  int disconnects = 0;
};
Calls calls;
int IsConnected(const char*, int) {
  return 1;
}
int TakeRequest(RequestPacket) {
  ++calls.sends;
  return 1;
}
int Added(int, const char*, int, int, int, int, int, int, TermLinkAnswerFn, TermLinkLostFn, void*) {
  return 1;
}
int Connected(const char*, int) {
  return 1;
}
int Disconnected(const char*, int) {
  ++calls.disconnects;
  return 1;
}

LinkLibrary FakeLink() {
  LinkLibrary link;
  link.AddProcConnectionEx = Added;
  link.Connect = Connected;
  link.IsConnect = IsConnected;
  link.SendDataEx = TakeRequest;
  link.Disconnect = Disconnected;
  return link;
}

void ChooseUpload(Program& program, std::size_t index) {
  const DataKind kinds[] = {DataKind::Plu, DataKind::Barcode, DataKind::Ingredient,
                            DataKind::ScrollMsg};
  const ReportType reports[] = {ReportType::Plu, ReportType::Time, ReportType::Group,
                                ReportType::Dept};
  program.ChooseDataKind(index < 4 ? kinds[index] : DataKind::Report);
  if (index >= 4) program.ChooseReportType(reports[index - 4]);
}

// A download of `total` zeroed records of `code`.
void StartDownload(Program& program, uint8_t code, int total) {
  const RecordKind& kind = *KindOfCode(code);
  std::vector<int> lines;
  for (int line = 1; line <= total; ++line) lines.push_back(line);
  program.Served()->Download(EveryRecord(std::make_shared<const CheckedDownload>(
      kind, std::vector<uint8_t>(static_cast<std::size_t>(total) * kind.size), lines)));
}

bool LoggedSince(const Program& program, std::size_t from, const std::string& ending) {
  for (std::size_t i = from; i < program.Activity().Lines().size(); ++i) {
    if (program.Activity().Lines()[i].ends_with(ending)) return true;
  }
  return false;
}

// A refusal read afresh: a record numbered 0 whose status text begins "ERR:".
bool RefusedStatus(const Kind& kind, const uint8_t* record) {
  const char* text = reinterpret_cast<const char*>(record + kind.statusOffset);
  return NumberOf(kind, record) == 0 && kind.statusSize >= 4 && std::memcmp(text, "ERR:", 4) == 0;
}

// Whether an upload answer carries at least the number asked for (PLU numbers signed).
bool Forward(const Kind& kind, uint32_t number, uint32_t asked) {
  return kind.wideNumber ? static_cast<int32_t>(number) >= static_cast<int32_t>(asked)
                         : number >= asked;
}

// One answer of a handled kind to an upload request.
void CheckUploadAnswer(const Program& program, const Kind& kind, uint8_t readCode,
                       const uint8_t* record, const TransferState& before, const Calls& callsBefore,
                       std::size_t logFrom) {
  const uint32_t number = NumberOf(kind, record);
  const std::string status = number == 0 ? StatusOf(kind, record) : std::string();
  const bool marker = status == "95" || status == "99" || number == 65535;
  const bool outOfOrder = !marker && kind.writer && before.Direction != 0 &&
                          !Forward(kind, number, before.RecordNumber);
  FUZZ_CHECK(program.ServedTransfer().AnswerNumber == number, "the answer's number is not kept");
  FUZZ_CHECK(program.ServedTransfer().Direction == (marker || outOfOrder ? 0 : before.Direction),
             marker       ? "an end marker did not end the upload"
             : outOfOrder ? "an answer out of order did not end the upload"
                          : "the upload ended without a marker");
  // An upload whose direction is 0 ends at this answer, marker or not.
  const bool ended = program.ServedTransfer().Direction == 0;
  if (!kind.writer) {  // speedkey: no upload exists, the answer is only logged
    FUZZ_CHECK(LoggedSince(program, logFrom, kind.completion), "speedkey answer not logged");
    FUZZ_CHECK(calls.disconnects == callsBefore.disconnects + (ended ? 1 : 0), "speedkey end");
    return;
  }
  FUZZ_CHECK(LoggedSince(program, logFrom, kind.writer) == (status != "99" && !outOfOrder),
             "a line written for status '" + status + "'");
  FUZZ_CHECK(LoggedSince(program, logFrom, kind.failure) == outOfOrder,
             "the failure line does not match an answer out of order");
  const bool received = before.Direction == 2 && kind.code == readCode && !marker && !outOfOrder;
  FUZZ_CHECK(program.ServedTransfer().Stored == before.Stored + (received ? 1 : 0),
             received ? "a record received was not counted" : "an answer counted as a record");
  const bool counted = kind.reportCount && static_cast<int32_t>(number + 1) >= kind.reportCount;
  const bool last = kind.wideNumber && number == static_cast<uint32_t>(INT32_MAX);
  if (ended || counted || last) {
    FUZZ_CHECK(calls.disconnects == callsBefore.disconnects + 1, "the upload's end disconnects");
    FUZZ_CHECK(calls.sends == callsBefore.sends, "a request after the end");
  } else {
    FUZZ_CHECK(calls.sends == callsBefore.sends + 1, "no request for the next record");
    FUZZ_CHECK(calls.disconnects == callsBefore.disconnects, "a disconnect mid-upload");
    if (!kind.reportCount) {
      FUZZ_CHECK(program.ServedTransfer().RecordNumber ==
                     (kind.wideNumber ? number + 1 : (number + 1) & 0xFFFF),
                 "the next request does not follow the answer");
    }
  }
}

void SetNumber(const Kind& kind, uint32_t number, std::vector<uint8_t>& record) {
  if (kind.wideNumber) {
    std::memcpy(record.data() + 2, &number, sizeof number);
  } else {
    record[0] = static_cast<uint8_t>(number);
    record[1] = static_cast<uint8_t>(number >> 8);
  }
}

// Random bytes seldom echo the number sent or spell a refusal: the record's
// last byte turns a quarter of the acknowledgments into an echo of the number
// sent, and a quarter into a refusal of a full memory, without taking input.
void ShapeAcknowledgment(const Kind& kind, uint32_t sent, std::vector<uint8_t>& record) {
  const uint8_t shape = record.back() % 4;
  if (shape == 0) {
    SetNumber(kind, sent, record);
  } else if (shape == 1) {
    static constexpr char kFull[] = "ERR: 90 Memory full";
    SetNumber(kind, 0, record);
    std::memcpy(record.data() + kind.statusOffset, kFull, sizeof kFull);
  }
}

// One acknowledgment of a downloaded record.
void CheckAcknowledgment(const Program& program, const Kind& kind, const uint8_t* record,
                         const TransferState& before) {
  const uint32_t number = NumberOf(kind, record);
  const bool stored = before.Direction == kDirectionWrite && number == before.RecordNumber &&
                      !RefusedStatus(kind, record) && before.Stored < before.RecordIndex;
  FUZZ_CHECK(program.ServedTransfer().AnswerNumber == number,
             "the acknowledged number is not kept");
  FUZZ_CHECK(program.ServedTransfer().Stored <= program.ServedTransfer().RecordIndex,
             "more records stored than handed over");
  FUZZ_CHECK(program.ServedTransfer().Stored == before.Stored + (stored ? 1 : 0),
             stored ? "a stored record was not counted" : "a record not stored was counted");
  FUZZ_CHECK(program.ServedTransfer().Direction == before.Direction ||
                 program.ServedTransfer().Direction == 0,
             "an acknowledgment changed the transfer's direction");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FuzzProgram fuzzed(FakeLink());
  Program& program = *fuzzed.program;
  FuzzedDataProvider input(data, size);
  program.Serve("127.0.0.2");
  program.Terminals().SetPort("20404");
  // The last input's upload file; none before the first order.
  if (TerminalSession* served = program.Served()) served->CloseUploadFile();
  // The terminal's answers reach its session from its connect on, also after
  // a disconnect, as long as it is the one served.
  program.HandleEvent([&] { program.Connect(ServedOrder(program)); });
  fuzzed.loop.RunPending();
  program.Activity().Clear();

  const std::size_t transfer = input.ConsumeIntegralInRange<std::size_t>(0, 12);
  const bool upload = transfer < kUploadKinds;
  const Kind& kind = upload ? kKinds[transfer] : kKinds[transfer == 12 ? 8 : transfer - 8];
  if (upload) {
    ChooseUpload(program, transfer);
    program.ChooseUploadFile(ScratchFolder() + "/upload.txt");
    program.HandleEvent([&] { program.Upload(ServedUploadOrder(program)); });
  } else {
    program.HandleEvent(
        [&] { StartDownload(program, kind.code, input.ConsumeIntegralInRange(0, 5)); });
  }

  while (input.remaining_bytes() > 0) {
    const bool odd = input.ConsumeIntegralInRange(0, 7) == 0;
    RequestPacket answer{};
    answer.Address = "127.0.0.2";
    answer.Code = odd ? input.ConsumeIntegral<uint8_t>() : kind.code;
    answer.Direction = odd ? input.ConsumeIntegral<uint16_t>() : (upload ? 2 : 3);
    const Kind* answered = KindOf(answer.Code);
    answer.DataLength =
        odd || !answered ? input.ConsumeIntegralInRange<uint16_t>(0, 2000) : answered->size;
    std::vector<uint8_t> record = input.ConsumeBytes<uint8_t>(answer.DataLength);
    record.resize(answer.DataLength);
    const bool noData = odd && input.ConsumeBool();
    answer.Data = noData ? nullptr : record.data();
    if (!odd && !upload)
      ShapeAcknowledgment(*answered, program.ServedTransfer().RecordNumber, record);

    const TransferState before = program.ServedTransfer();
    const Calls callsBefore = calls;
    const auto logBefore = program.Activity().Lines();
    RouteAnswer(&program.Router(), &answer);
    fuzzed.loop.RunPending();

    const bool handled =
        answered && !noData && answer.DataLength >= answered->size &&
        (answer.Direction == 2 || (answer.Direction == 3 && !answered->reportCount));
    if (!handled) {
      FUZZ_CHECK(program.ServedTransfer() == before && program.Activity().Lines() == logBefore &&
                     calls.sends == callsBefore.sends &&
                     calls.disconnects == callsBefore.disconnects,
                 "an answer that no handler acts on changed something");
    } else if (answer.Direction == 2) {
      CheckUploadAnswer(program, *answered, upload ? kind.code : 0, record.data(), before,
                        callsBefore, logBefore.size());
    } else {
      CheckAcknowledgment(program, *answered, record.data(), before);
    }
  }
  FUZZ_CHECK(fuzzed.view.failures.empty(), fuzzed.view.failures.front());
  return 0;
}
