// Download files of every kind, parsed as the Download action parses them,
// and listed as "Read Data" lists them. The input is one byte that chooses
// the kind, then the bytes of the file.
//
// Beside the sanitizers' checks: the number of records stored agrees with
// the data lines of the file as an independent reading of it finds them,
// every stored text is the column's text and ends within its field, and the
// bytes that no column fills stay zero.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "transfer/download_files.h"
#include "transfer/download_line.h"
#include "transfer/record_tables.h"

namespace {

using Lines = std::vector<std::string>;

// The lines of a text file: a Ctrl-Z ends it, lines end with LF, and one CR
// before an LF belongs to the line end. A last line without LF is a line.
Lines TextFileLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
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

// A text as a zero-terminated field holds it.
std::string_view UpToZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
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

void CheckText(std::string_view stored, const std::string& line, int column) {
  FUZZ_CHECK(stored == UpToZero(Column(line, column)),
             "stored text differs from column " + std::to_string(column));
}

bool KnownError(const std::string& text) {
  return text == kInputFileError || text == kIoError ||
         text.starts_with("More than " + std::to_string(kTableCapacity) + " records") ||
         text.starts_with("Text too long in line ");
}

// Every record stored matches its data line; records stored are counted
// exactly, and only an error box stops the parse early.
void CheckTableParse(int stored, const Lines& dataLines, const FuzzView& view,
                     void (*checkRecord)(int position, const std::string& line)) {
  const int lines = static_cast<int>(dataLines.size());
  FUZZ_CHECK(stored >= 0 && stored <= kTableCapacity, std::to_string(stored));
  if (view.errors.empty()) {
    FUZZ_CHECK(stored == lines, std::to_string(stored) + " of " + std::to_string(lines));
  } else {
    FUZZ_CHECK(view.errors.size() == 1, "more than one error box for one parse");
    FUZZ_CHECK(KnownError(view.errors.front()), view.errors.front());
    FUZZ_CHECK(stored < lines, "an error box although every line was stored");
  }
  for (int p = 1; p <= stored; ++p) checkRecord(p, dataLines[static_cast<std::size_t>(p - 1)]);
}

void CheckPlu(int p, const std::string& line) {
  const PluRecord& r = PluTable.At(p);
  CheckText(FieldText(r.Text), line, 4);
  CheckZero(r.Unused1, "PLU 439");
  CheckZero(r.Unused2, "PLU 447");
  CheckZero(r.Unused3, "PLU 477");
  CheckZero(r.Unused4, "PLU 483");
}

void CheckBarcode(int p, const std::string& line) {
  const BarcodeRecord& r = BarcodeTable.At(p);
  CheckText(FieldText(r.Text1), line, 4);
  CheckText(FieldText(r.Text2), line, 5);
}

void CheckIngredient(int p, const std::string& line) {
  CheckText(FieldText(IngredientTable.At(p).Text), line, 2);
}

void CheckScrollMsg(int p, const std::string& line) {
  const ScrollMsgRecord& r = ScrollMsgTable.At(p);
  FUZZ_CHECK(FieldText(r.Text1).empty(), "a download filled the status text");
  CheckText(FieldText(r.Text2), line, 2);
  CheckZero(r.Unused1, "scroll message 2");
  CheckZero(r.Unused2, "scroll message 220");
}

// The speedkey file holds one record in its first line.
void CheckSpeedkeyParse(int stored, const Lines& lines, const FuzzView& view,
                        const SpeedkeyRecord& before) {
  const std::string first = lines.empty() ? std::string() : lines.front();
  if (first.empty()) {
    FUZZ_CHECK(stored == 0 && view.errors.empty(), "an empty first line stores nothing");
  } else if (stored == 1) {
    FUZZ_CHECK(view.errors.empty(), view.errors.front());
    FUZZ_CHECK(SpeedkeyData.Number == 1, std::to_string(SpeedkeyData.Number));
    FUZZ_CHECK(FieldText(SpeedkeyData.Text).empty(), "speedkey text filled");
    for (int i = 72; i < 100; ++i) {
      FUZZ_CHECK(SpeedkeyData.KeyTable1[i] == 0 && SpeedkeyData.KeyTable2[i] == 0,
                 "key table entry " + std::to_string(i + 1) + " filled");
    }
  } else {
    FUZZ_CHECK(stored == 0, std::to_string(stored));
    FUZZ_CHECK(view.errors.size() == 1 && KnownError(view.errors.front()),
               "a speedkey line not stored without one known error box");
    FUZZ_CHECK(std::memcmp(&before, &SpeedkeyData, sizeof before) == 0,
               "a failed speedkey parse changed the record");
  }
}

// "Read Data" lists one line per data line and always ends with "* End *".
void CheckListing(const TForm1& form, const Lines& dataLines, const FuzzView& view) {
  const auto& log = form.ListBox1.Items;
  FUZZ_CHECK(log.size() >= 3 && log.front().empty() && log[log.size() - 2].empty() &&
                 log.back() == "* End *",
             "listing frame");
  const std::size_t listed = log.size() - 3;
  for (std::size_t i = 0; i < listed; ++i) {
    FUZZ_CHECK(log[1 + i].starts_with(std::to_string(i + 1) + ". "), log[1 + i]);
  }
  if (view.errors.empty()) {
    FUZZ_CHECK(listed == dataLines.size(), std::to_string(listed));
  } else {
    FUZZ_CHECK(view.errors.size() == 1 && KnownError(view.errors.front()), view.errors.front());
    FUZZ_CHECK(listed < dataLines.size(), "an error box although every line was listed");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static FuzzForm window;
  TForm1& form = *window.form;
  FuzzView& view = window.view;
  view.errors.clear();
  form.ListBox1.Items.clear();

  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = WriteScratchFile("download.txt", bytes);
  const Lines lines = TextFileLines(bytes);
  Lines dataLines;
  for (const auto& line : lines) {
    if (IsDataLine(line)) dataLines.push_back(line);
  }

  switch (data[0] % 6) {
    case 0:
      CheckTableParse(ReadPluFile(form, path), dataLines, view, CheckPlu);
      break;
    case 1:
      CheckTableParse(ReadBarcodeFile(form, path), dataLines, view, CheckBarcode);
      break;
    case 2:
      CheckTableParse(ReadIngredientFile(form, path), dataLines, view, CheckIngredient);
      break;
    case 3:
      CheckTableParse(ReadScrollMsgFile(form, path), dataLines, view, CheckScrollMsg);
      break;
    case 4: {
      const SpeedkeyRecord before = SpeedkeyData;
      CheckSpeedkeyParse(ReadSpeedkeyFile(form, path), lines, view, before);
      break;
    }
    default:
      form.FileOpen1Accept(path);
      form.Action6Execute();
      CheckListing(form, dataLines, view);
      break;
  }
  return 0;
}
