// The one table of record kinds: for each data type code its names, its
// record's size, its files, the columns of its download file with the field
// each fills, how a read asks for its records and how a received record
// becomes an upload line, and whether it is sent and received. The link
// library, the simulator, the records, the sessions and the front ends all
// ask this table; nothing else lists the kinds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "records/records.h"

enum class FieldType { Unsigned, Signed, Text };

// One column of a download file and the record field it fills.
struct KindColumn {
  std::string name;  // as the download file's header line names it: "price", "key 5 of table 1"
  std::size_t offset;
  std::size_t size;
  FieldType type;
  // The record number: a number a read-back of the terminal reaches under
  // its own number (records/record_numbers.h), not just any that fits.
  bool recordNumber = false;
  // A price: whole cents in the file, shown and typed as money ("12.30").
  bool money = false;
};

// The largest value an unsigned column holds: a value is never cut to fit.
constexpr uint32_t UnsignedMax(const KindColumn& column) {
  return column.size >= 4 ? UINT32_MAX : (uint32_t{1} << (8 * column.size)) - 1;
}
// The characters a text column holds, its field keeping room for the zero.
constexpr std::size_t TextLimit(const KindColumn& column) {
  return column.size - 1;
}

// How a received record becomes a line of an upload file (records/upload_line.h).
enum class LineFormat { None, Plu, Barcode, Ingredient, ScrollMsg, ReportPlu, ReportTotal };

// Which record a read asks for after the first.
enum class NextRead {
  AfterAnswer,   // the one after the number the terminal last answered with
  AfterRequest,  // the one after its own last request (the reports)
  Once,          // the kind has a single record (the speedkey)
};

struct RecordKind {
  uint8_t code;      // the data type code
  const char* name;  // on the command line: "plu", "scrollmsg", "report-time"
  // In the link library's texts: "plu", "reporttime"; the simulator stores a
  // kind's records in a file of this name.
  const char* linkName;
  const char* fileName;  // in the name of a received file: "PLU", "Report-Time"
  const char* label;     // in a difference and a caption: "PLU", "Scroll message", "Time report"
  // In the log lines of its requests and answers: "DataReceivedScrollMsg",
  // "UploadNextScrollMsg", "DownloadNextScrollMsg".
  const char* logName;
  const char* lineWriter;  // after an upload line in the log: "AddScrollMsg"
  uint16_t size;           // of its record, every byte sent and read
  bool readable;           // a terminal answers a read of it
  bool writable;           // it is sent to a terminal (a download file holds it)
  bool received;           // a receive writes it into a file (all readable kinds but the speedkey)
  bool report;
  // Where a record carries its number: an i32 (the PLU number), else a u16.
  bool wideNumber;
  uint16_t numberOffset;
  // The text field that carries a terminal's status instead of data.
  uint16_t statusOffset;
  uint16_t statusSize;
  // What an acknowledgment of a sent record logs: the text at this offset,
  // at most this many characters, then "DataReceived" and the log name;
  // nothing when the limit is 0 (the PLU).
  uint16_t ackTextOffset;
  uint16_t ackTextLimit;
  // The files that choosing the kind names; a report has no download file.
  const char* downloadFile;
  const char* uploadFile;
  // The download file's columns in their order; the speedkey kind's record
  // is unnumbered: it holds one, numbered 1 when a file is read.
  std::vector<KindColumn> columns;
  bool numbered;
  // A read request: a zeroed record with its number set, and for the PLU
  // Field1 set to 1. An upload begins at `firstNumber`; a Read of every
  // record a terminal holds at `lowestNumber`, so that records other
  // software stored at 0 (or, for PLU, below it) are seen too.
  NextRead next;
  int32_t firstNumber;
  int32_t lowestNumber;
  std::optional<uint16_t> presetOffset;  // a u16 field every read request sets to 1
  // A report ends when this many records have come.
  int32_t reportCount;
  LineFormat line;
};

// Every kind, in the order the front ends offer them: the five kinds a
// download sends, then the four reports.
std::span<const RecordKind> RecordKinds();

// The kind of data type code `code`, or nullptr when no kind has it.
const RecordKind* KindOfCode(uint8_t code);
// The kind named `name` on the command line ("plu", "report-dept"), or nullptr.
const RecordKind* KindNamed(std::string_view name);
// The kind whose link library name is `name` ("plu", "reportdept"), or nullptr.
const RecordKind* KindOfLinkName(std::string_view name);

// The names of the kinds for which `has` is true, in table order, e.g. the
// kinds a download sends for a command line's choice.
template <class Has>
std::vector<std::string> KindNames(Has has) {
  std::vector<std::string> names;
  for (const RecordKind& kind : RecordKinds()) {
    if (has(kind)) names.emplace_back(kind.name);
  }
  return names;
}

// The column that holds the record number, or nullptr (the speedkey).
const KindColumn* NumberColumn(const RecordKind& kind);

// The number a record of `kind` carries; a u16 number is widened without sign.
int64_t NumberOf(const RecordKind& kind, std::span<const uint8_t> record);
// Sets the number of a record of `kind`; a u16 number keeps its low 16 bits.
void SetNumberOf(const RecordKind& kind, std::span<uint8_t> record, int64_t number);
