// Download files of every kind, parsed as the Download action parses them,
// and listed as "Read Data" lists them. The input is one byte that chooses
// the kind, then the bytes of the file.
//
// Beside the sanitizers' checks: a file is either taken whole or refused
// with one error box that names it; a taken file stores exactly the data
// lines that an independent reading of it finds; every stored text is the
// column's text, free of control characters, and ends within its field; a
// parse never narrows: every stored number equals the value of its column's
// text; the bytes that no column fills stay zero; and a Ctrl-Z before the
// last byte is always refused.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "records/download_files.h"
#include "records/download_line.h"
#include "tests/support/download_records.h"
#include "text/code_page.h"
#include "text/str_to_int.h"

namespace {

using Lines = std::vector<std::string>;

// Texts pass as bytes: the rules checked here are those of the columns and
// lines; the character-set conversion has its own tests.
const CodePage& Bytes() {
  static const CodePage bytes = *CodePage::Named(kNoCodePage);
  return bytes;
}

// The lines of a text file up to its first Ctrl-Z, after a UTF-8 byte order
// mark at its start: lines end with LF, and one CR before an LF belongs to
// the line end. A last line without LF is a line.
Lines TextFileLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  Lines lines;
  for (;;) {
    const auto lf = bytes.find('\n');
    if (lf == std::string_view::npos) break;
    std::string_view line = bytes.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    bytes.remove_prefix(lf + 1);
  }
  if (!bytes.empty()) lines.emplace_back(bytes);
  return lines;
}

bool IsDataLine(const std::string& line) {
  return !line.empty() && line.front() != ';';
}

// Column `n` (from 1) of a tab-separated line; empty past its last column.
std::string_view Column(std::string_view line, int n) {
  for (int i = 1; i < n; ++i) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) return {};
    line.remove_prefix(tab + 1);
  }
  return line.substr(0, line.find('\t'));
}

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  FUZZ_CHECK(std::memchr(field, 0, N) != nullptr, "a text field without its terminating zero");
  return {field, strnlen(field, N)};
}

template <std::size_t N>
void CheckZero(const uint8_t (&bytes)[N], const char* what) {
  for (uint8_t byte : bytes) FUZZ_CHECK(byte == 0, std::string("not-used bytes written: ") + what);
}

bool HasControl(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

void CheckText(std::string_view stored, const std::string& line, int column) {
  FUZZ_CHECK(stored == Column(line, column),
             "stored text differs from column " + std::to_string(column));
  FUZZ_CHECK(!HasControl(stored), "a control character stored in column " + std::to_string(column));
}

// The field holds exactly the value of the column's text: never a part of it.
// The file read last, and its record at position `p` from 1.
DownloadFileRead lastRead;
template <class Record>
Record At(int p) {
  return RecordAt<Record>(*lastRead.download, p);
}

void CheckNumber(int64_t stored, const std::string& line, int column) {
  const auto value = TryStrToInt(Column(line, column));
  FUZZ_CHECK(value && *value == stored, "column " + std::to_string(column) + " stored as " +
                                            std::to_string(stored) + ", narrowed or invented");
}

// One error box naming the file, with the message text the system has.
void CheckRefusal(const FuzzView& view) {
  FUZZ_CHECK(view.errors.size() == 1, "not one error box for one refused file");
  const std::string& text = view.errors.front();
  const bool known =
      text.starts_with(std::string(kInputFileError) + " (download.txt") ||
      text.starts_with(std::string(kIoError) + " (download.txt") ||
      (text.starts_with("More than " + std::to_string(kDownloadCapacity) + " records") &&
       text.find(" (download.txt, line ") != std::string::npos) ||
      (text.starts_with("Text too long in line ") &&
       text.find(" (download.txt, line ") != std::string::npos);
  FUZZ_CHECK(known, text);
}

// A file is taken whole, every record matching its data line, or refused
// whole with one error box; a Ctrl-Z before the last byte is always refused.
void CheckTableParse(int stored, const Lines& dataLines, bool earlyCtrlZ, const FuzzView& view,
                     void (*checkRecord)(int position, const std::string& line)) {
  const int lines = static_cast<int>(dataLines.size());
  if (!view.errors.empty()) {
    CheckRefusal(view);
    FUZZ_CHECK(stored == 0, "a refused file counted records: " + std::to_string(stored));
    return;
  }
  FUZZ_CHECK(!earlyCtrlZ, "a Ctrl-Z before the last byte was taken");
  FUZZ_CHECK(stored > 0 && stored == lines && stored <= kDownloadCapacity,
             std::to_string(stored) + " of " + std::to_string(lines));
  for (int p = 1; p <= stored; ++p) checkRecord(p, dataLines[static_cast<std::size_t>(p - 1)]);
}

void CheckPlu(int p, const std::string& line) {
  const PluRecord r = At<PluRecord>(p);
  CheckNumber(r.Field1, line, 1);
  CheckNumber(r.PluNo, line, 2);
  CheckNumber(r.Field3, line, 3);
  CheckText(FieldText(r.Text), line, 4);
  CheckNumber(r.Field5, line, 5);
  CheckNumber(r.Field6, line, 6);
  CheckNumber(r.Field7, line, 7);
  CheckNumber(r.Field8, line, 8);
  CheckNumber(r.Field9, line, 9);
  CheckZero(r.Unused1, "PLU 439");
  CheckZero(r.Unused2, "PLU 447");
  CheckZero(r.Unused3, "PLU 477");
  CheckZero(r.Unused4, "PLU 483");
}

void CheckBarcode(int p, const std::string& line) {
  const BarcodeRecord r = At<BarcodeRecord>(p);
  CheckNumber(r.Number, line, 1);
  CheckNumber(r.Field2, line, 2);
  CheckNumber(r.Field3, line, 3);
  CheckText(FieldText(r.Text1), line, 4);
  CheckText(FieldText(r.Text2), line, 5);
}

void CheckIngredient(int p, const std::string& line) {
  const IngredientRecord r = At<IngredientRecord>(p);
  CheckNumber(r.Number, line, 1);
  CheckText(FieldText(r.Text), line, 2);
}

void CheckScrollMsg(int p, const std::string& line) {
  const ScrollMsgRecord r = At<ScrollMsgRecord>(p);
  FUZZ_CHECK(FieldText(r.Text1).empty(), "a download filled the status text");
  CheckNumber(r.Number, line, 1);
  CheckText(FieldText(r.Text2), line, 2);
  CheckNumber(r.Field3, line, 3);
  CheckZero(r.Unused1, "scroll message 2");
  CheckZero(r.Unused2, "scroll message 220");
}

// The speedkey file holds one record in its first line, read alone.
void CheckSpeedkeyParse(int stored, const Lines& lines, bool earlyCtrlZ, const FuzzView& view) {
  if (stored == 0) {
    CheckRefusal(view);
    FUZZ_CHECK(!lastRead.download, "a refused speedkey file made records");
    return;
  }
  FUZZ_CHECK(stored == 1 && view.errors.empty(), "a speedkey record stored with an error box");
  FUZZ_CHECK(!earlyCtrlZ, "a Ctrl-Z before the last byte was taken");
  FUZZ_CHECK(!lines.empty() && !lines.front().empty(), "a record from an empty first line");
  const std::string& first = lines.front();
  const SpeedkeyRecord record = At<SpeedkeyRecord>(1);
  FUZZ_CHECK(record.Number == 1, std::to_string(record.Number));
  FUZZ_CHECK(FieldText(record.Text).empty(), "speedkey text filled");
  for (int i = 0; i < 72; ++i) {
    CheckNumber(record.KeyTable1[i], first, 1 + i);
    CheckNumber(record.KeyTable2[i], first, 73 + i);
  }
  for (int i = 72; i < 100; ++i) {
    FUZZ_CHECK(record.KeyTable1[i] == 0 && record.KeyTable2[i] == 0,
               "key table entry " + std::to_string(i + 1) + " filled");
  }
}

// The line "Read Data" lists for a data line, its values as the columns say.
std::string ListedLine(std::size_t number, const std::string& line) {
  std::string listed = std::to_string(number) + ".";
  for (int column = 1; column <= 5; ++column) {
    const auto value = TryStrToInt(Column(line, column));
    listed +=
        " " + (column == 4 ? std::string(Column(line, 4)) : std::to_string(value.value_or(0)));
    if (column < 5) listed += ",";
  }
  return listed;
}

// "Read Data" lists one line per data line, each value as its column holds
// it, and always ends with "* End *"; a fault stops it with one error box.
void CheckListing(const Program& program, const Lines& dataLines, bool earlyCtrlZ,
                  const FuzzView& view) {
  const auto& log = program.Activity().Lines();
  FUZZ_CHECK(log.size() >= 2 && log[log.size() - 2].empty() && log.back() == "* End *",
             "listing frame");
  const std::size_t listed = log.size() >= 3 ? log.size() - 3 : 0;
  FUZZ_CHECK(listed <= dataLines.size(), std::to_string(listed));
  for (std::size_t i = 0; i < listed; ++i) {
    FUZZ_CHECK(log[1 + i] == ListedLine(i + 1, dataLines[i]), log[1 + i]);
  }
  if (view.errors.empty()) {
    FUZZ_CHECK(!earlyCtrlZ, "a Ctrl-Z before the last byte was listed past");
    FUZZ_CHECK(log.size() >= 3 && log.front().empty() && listed == dataLines.size(),
               std::to_string(listed));
  } else {
    CheckRefusal(view);
  }
}

// The records a reader stored; its refusal goes to the view's error boxes as
// the Download action shows it.
int Shown(FuzzView& view, const DownloadFileRead& read, const std::string& path) {
  if (read.error) view.ShowError(read.error->Describe(path));
  lastRead = read;
  return read.records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static FuzzProgram fuzzed;
  Program& program = *fuzzed.program;
  FuzzView& view = fuzzed.view;
  view.errors.clear();
  program.Activity().Clear();

  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = WriteScratchFile("download.txt", bytes);
  const Lines lines = TextFileLines(bytes);
  const std::size_t ctrlZ = bytes.find('\x1A');
  const bool earlyCtrlZ = ctrlZ != std::string_view::npos && ctrlZ + 1 < bytes.size();
  Lines dataLines;
  for (const auto& line : lines) {
    if (IsDataLine(line)) dataLines.push_back(line);
  }

  switch (data[0] % 6) {
    case 0:
      CheckTableParse(Shown(view, ReadPluFile(path, Bytes()), path), dataLines, earlyCtrlZ, view,
                      CheckPlu);
      break;
    case 1:
      CheckTableParse(Shown(view, ReadBarcodeFile(path, Bytes()), path), dataLines, earlyCtrlZ,
                      view, CheckBarcode);
      break;
    case 2:
      CheckTableParse(Shown(view, ReadIngredientFile(path, Bytes()), path), dataLines, earlyCtrlZ,
                      view, CheckIngredient);
      break;
    case 3:
      CheckTableParse(Shown(view, ReadScrollMsgFile(path, Bytes()), path), dataLines, earlyCtrlZ,
                      view, CheckScrollMsg);
      break;
    case 4: {
      // Only the first line is read, so only a Ctrl-Z within it counts.
      const bool inFirstLine = earlyCtrlZ && ctrlZ < bytes.find('\n');
      CheckSpeedkeyParse(Shown(view, ReadSpeedkeyFile(path, Bytes()), path), lines, inFirstLine,
                         view);
      break;
    }
    default:
      program.ReadFile(ReadFileOrder{path, Bytes()});
      CheckListing(program, dataLines, earlyCtrlZ, view);
      break;
  }
  return 0;
}
