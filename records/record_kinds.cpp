#include "records/record_kinds.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

#include "records/record_numbers.h"

namespace {

// One column by its record member: where its field lies and how wide it is.
#define ORLENT_COLUMN(Record, member, name, type)                           \
  KindColumn {                                                              \
    name, offsetof(Record, member), sizeof(Record::member), FieldType::type \
  }
#define ORLENT_MONEY_COLUMN(Record, member, name)                                          \
  KindColumn {                                                                             \
    name, offsetof(Record, member), sizeof(Record::member), FieldType::Signed, false, true \
  }
#define ORLENT_NUMBER_COLUMN(Record, member, name, type)                          \
  KindColumn {                                                                    \
    name, offsetof(Record, member), sizeof(Record::member), FieldType::type, true \
  }

// What every kind of one record layout shares.
template <class Record>
RecordKind Layout(uint8_t code, const char* name, const char* linkName, std::size_t statusOffset,
                  std::size_t statusSize) {
  RecordKind kind{};
  kind.code = code;
  kind.name = name;
  kind.linkName = linkName;
  kind.size = static_cast<uint16_t>(sizeof(Record));
  kind.readable = true;
  kind.numberOffset = 0;
  kind.statusOffset = static_cast<uint16_t>(statusOffset);
  kind.statusSize = static_cast<uint16_t>(statusSize);
  kind.numbered = true;
  kind.next = NextRead::AfterAnswer;
  kind.firstNumber = 1;
  kind.lowestNumber = 0;
  return kind;
}

// The files that choosing a kind names in the program folder: the download
// file it is sent from and the upload file it is received into. The reports
// are only received: they have no download file.
struct KindFiles {
  const char* downloadFile;
  const char* uploadFile;
};

// A kind a download file holds and a receive reads back.
template <class Record>
RecordKind Sent(RecordKind kind, const char* label, const char* logName, const char* lineWriter,
                const KindFiles& files, std::vector<KindColumn> columns) {
  kind.fileName = label;
  kind.label = label;
  kind.logName = logName;
  kind.lineWriter = lineWriter;
  kind.writable = true;
  kind.received = true;
  kind.downloadFile = files.downloadFile;
  kind.uploadFile = files.uploadFile;
  kind.columns = std::move(columns);
  return kind;
}

RecordKind Plu() {
  RecordKind kind = Sent<PluRecord>(
      Layout<PluRecord>(kCodePlu, "plu", "plu", offsetof(PluRecord, Text), sizeof(PluRecord::Text)),
      "PLU", "PLU", "AddPlu", KindFiles{"PLU-Down.txt", "PLU-Up.txt"},
      {ORLENT_COLUMN(PluRecord, Field1, "dept", Unsigned),
       ORLENT_NUMBER_COLUMN(PluRecord, PluNo, "PLU no", Signed),
       ORLENT_COLUMN(PluRecord, Field3, "unit", Unsigned),
       ORLENT_COLUMN(PluRecord, Text, "name", Text),
       ORLENT_MONEY_COLUMN(PluRecord, Field5, "price"),
       ORLENT_COLUMN(PluRecord, Field6, "item code", Signed),
       ORLENT_COLUMN(PluRecord, Field7, "shelf days", Unsigned),
       ORLENT_COLUMN(PluRecord, Field8, "tare", Signed),
       ORLENT_COLUMN(PluRecord, Field9, "group", Unsigned)});
  kind.wideNumber = true;
  kind.numberOffset = offsetof(PluRecord, PluNo);
  kind.lowestNumber = kLowestPluNumber;
  kind.presetOffset = offsetof(PluRecord, Field1);
  kind.line = LineFormat::Plu;
  return kind;
}

RecordKind Barcode() {
  RecordKind kind = Sent<BarcodeRecord>(
      Layout<BarcodeRecord>(kCodeBarcode, "barcode", "barcode", offsetof(BarcodeRecord, Text2),
                            sizeof(BarcodeRecord::Text2)),
      "Barcode", "Barcode", "AddBarcode", KindFiles{"Barcode-Down.txt", "Barcode-Up.txt"},
      {ORLENT_NUMBER_COLUMN(BarcodeRecord, Number, "number", Unsigned),
       ORLENT_COLUMN(BarcodeRecord, Field2, "format", Unsigned),
       ORLENT_COLUMN(BarcodeRecord, Field3, "flag", Unsigned),
       ORLENT_COLUMN(BarcodeRecord, Text1, "name", Text),
       ORLENT_COLUMN(BarcodeRecord, Text2, "barcode text", Text)});
  kind.ackTextOffset = offsetof(BarcodeRecord, Text2);
  kind.ackTextLimit = 101;
  kind.line = LineFormat::Barcode;
  return kind;
}

RecordKind Ingredient() {
  RecordKind kind = Sent<IngredientRecord>(
      Layout<IngredientRecord>(kCodeIngredient, "ingredient", "ingredient",
                               offsetof(IngredientRecord, Text), sizeof(IngredientRecord::Text)),
      "Ingredient", "Ingredient", "AddIngredient",
      KindFiles{"Ingredient-Down.txt", "Ingredient-Up.txt"},
      {ORLENT_NUMBER_COLUMN(IngredientRecord, Number, "number", Unsigned),
       ORLENT_COLUMN(IngredientRecord, Text, "text", Text)});
  kind.ackTextOffset = offsetof(IngredientRecord, Text);
  kind.ackTextLimit = 1025;
  kind.line = LineFormat::Ingredient;
  return kind;
}

// The message goes to Text2; Text1 carries the terminal's status.
RecordKind ScrollMsg() {
  RecordKind kind = Sent<ScrollMsgRecord>(
      Layout<ScrollMsgRecord>(kCodeScrollMsg, "scrollmsg", "scrollmsg",
                              offsetof(ScrollMsgRecord, Text1), sizeof(ScrollMsgRecord::Text1)),
      "Scroll message", "ScrollMsg", "AddScrollMsg",
      KindFiles{"ScrollMsg-Down.txt", "ScrollMsg-Up.txt"},
      {ORLENT_NUMBER_COLUMN(ScrollMsgRecord, Number, "number", Unsigned),
       ORLENT_COLUMN(ScrollMsgRecord, Text2, "message", Text),
       ORLENT_COLUMN(ScrollMsgRecord, Field3, "speed", Unsigned)});
  kind.fileName = "ScrollMsg";
  kind.ackTextOffset = offsetof(ScrollMsgRecord, Text2);
  kind.ackTextLimit = 101;
  kind.line = LineFormat::ScrollMsg;
  return kind;
}

// The speedkey file fills the first keys of each table; the rest of each
// table and the text are never written. A terminal holds one speedkey
// record: a read asks for it once, and no receive writes it into a file.
RecordKind Speedkey() {
  std::vector<KindColumn> keys;
  const std::size_t tables[] = {offsetof(SpeedkeyRecord, KeyTable1),
                                offsetof(SpeedkeyRecord, KeyTable2)};
  for (std::size_t table = 0; table < 2; ++table) {
    for (int key = 0; key < kSpeedkeyFileKeys; ++key) {
      keys.push_back({"key " + std::to_string(key + 1) + " of table " + std::to_string(table + 1),
                      tables[table] + sizeof(int32_t) * static_cast<std::size_t>(key),
                      sizeof(int32_t), FieldType::Signed});
    }
  }
  RecordKind kind = Sent<SpeedkeyRecord>(
      Layout<SpeedkeyRecord>(kCodeSpeedkey, "speedkey", "speedkey", offsetof(SpeedkeyRecord, Text),
                             sizeof(SpeedkeyRecord::Text)),
      "Speedkey", "Speedkey", "", KindFiles{"Speedkey-Down.txt", "Speedkey-Up.txt"},
      std::move(keys));
  kind.received = false;
  kind.numbered = false;
  kind.next = NextRead::Once;
  kind.lowestNumber = 1;
  kind.ackTextOffset = offsetof(SpeedkeyRecord, Text);
  kind.ackTextLimit = 101;
  return kind;
}

// A report is only read: it counts on from its own last request, from its
// first number up to its count.
template <class Record>
RecordKind Report(uint8_t code, const char* name, const char* linkName, const char* fileName,
                  const char* label, const char* logName, const char* lineWriter,
                  int32_t firstNumber, int32_t count) {
  RecordKind kind =
      Layout<Record>(code, name, linkName, offsetof(Record, Text), sizeof(Record::Text));
  kind.fileName = fileName;
  kind.label = label;
  kind.logName = logName;
  kind.lineWriter = lineWriter;
  kind.received = true;
  kind.report = true;
  kind.downloadFile = "";
  kind.uploadFile = "reportPLU-up.txt";  // every report's
  kind.next = NextRead::AfterRequest;
  kind.firstNumber = firstNumber;
  kind.lowestNumber = firstNumber;
  kind.reportCount = count;
  kind.line =
      std::is_same_v<Record, ReportPluRecord> ? LineFormat::ReportPlu : LineFormat::ReportTotal;
  return kind;
}

#undef ORLENT_COLUMN
#undef ORLENT_NUMBER_COLUMN
#undef ORLENT_MONEY_COLUMN

const std::array<RecordKind, 9>& Kinds() {
  static const std::array<RecordKind, 9> kinds = {
      Plu(),
      Barcode(),
      Ingredient(),
      ScrollMsg(),
      Speedkey(),
      Report<ReportPluRecord>(kCodeReportPlu, "report-plu", "reportplu", "Report-PLU", "PLU report",
                              "ReportPLU", "AddReportPLU", 0, 10000),
      Report<ReportTotalRecord>(kCodeReportTime, "report-time", "reporttime", "Report-Time",
                                "Time report", "ReportTime", "AddReportTime", 0, 24),
      Report<ReportTotalRecord>(kCodeReportGroup, "report-group", "reportgroup", "Report-Group",
                                "Group report", "ReportGroup", "AddReportGroup", 0, 100),
      // The department report counts from 1.
      Report<ReportTotalRecord>(kCodeReportDept, "report-dept", "reportdept", "Report-Dept",
                                "Department report", "ReportDept", "AddReportDept", 1, 100),
  };
  return kinds;
}

template <class Matches>
const RecordKind* Find(Matches matches) {
  const auto& kinds = Kinds();
  const auto it = std::find_if(kinds.begin(), kinds.end(), matches);
  return it == kinds.end() ? nullptr : &*it;
}

}  // namespace

std::span<const RecordKind> RecordKinds() {
  return Kinds();
}

const RecordKind* KindOfCode(uint8_t code) {
  return Find([code](const RecordKind& kind) { return kind.code == code; });
}

const RecordKind* KindNamed(std::string_view name) {
  return Find([name](const RecordKind& kind) { return kind.name == name; });
}

const RecordKind* KindOfLinkName(std::string_view name) {
  return Find([name](const RecordKind& kind) { return kind.linkName == name; });
}

const KindColumn* NumberColumn(const RecordKind& kind) {
  const auto it = std::find_if(kind.columns.begin(), kind.columns.end(),
                               [](const KindColumn& column) { return column.recordNumber; });
  return it == kind.columns.end() ? nullptr : &*it;
}

int64_t NumberOf(const RecordKind& kind, std::span<const uint8_t> record) {
  if (kind.wideNumber) {
    int32_t number;
    std::memcpy(&number, record.data() + kind.numberOffset, sizeof number);
    return number;
  }
  uint16_t number;
  std::memcpy(&number, record.data() + kind.numberOffset, sizeof number);
  return number;
}

void SetNumberOf(const RecordKind& kind, std::span<uint8_t> record, int64_t number) {
  if (kind.wideNumber) {
    const auto value = static_cast<int32_t>(number);
    std::memcpy(record.data() + kind.numberOffset, &value, sizeof value);
  } else {
    const auto value = static_cast<uint16_t>(number);
    std::memcpy(record.data() + kind.numberOffset, &value, sizeof value);
  }
}

uint16_t RecordLength(uint8_t code) {
  const RecordKind* kind = KindOfCode(code);
  return kind ? kind->size : 0;
}
