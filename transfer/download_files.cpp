#include "transfer/download_files.h"

#include "app/tform1.h"
#include "transfer/download_line.h"
#include "transfer/line_reader.h"
#include "transfer/record_tables.h"

namespace {

PluRecord ParsePluLine(const LineColumns& in) {
  PluRecord record{};
  record.Field1 = in.U16(1);
  record.PluNo = in.Number(2);
  record.Field3 = in.U8(3);
  in.CopyText(4, record.Text);
  record.Field5 = in.Number(5);
  record.Field6 = in.Number(6);
  record.Field7 = in.U16(7);
  record.Field8 = in.Number(8);
  record.Field9 = in.U8(9);
  return record;
}

BarcodeRecord ParseBarcodeLine(const LineColumns& in) {
  BarcodeRecord record{};
  record.Number = in.U16(1);
  record.Field2 = in.U8(2);
  record.Field3 = in.U8(3);
  in.CopyText(4, record.Text1);
  in.CopyText(5, record.Text2);
  return record;
}

IngredientRecord ParseIngredientLine(const LineColumns& in) {
  IngredientRecord record{};
  record.Number = in.U16(1);
  in.CopyText(2, record.Text);
  return record;
}

ScrollMsgRecord ParseScrollMsgLine(const LineColumns& in) {
  ScrollMsgRecord record{};
  record.Number = in.U16(1);
  in.CopyText(2, record.Text2);
  record.Field3 = in.U8(3);
  return record;
}

// The file at `path`, refused when it cannot be opened as a regular file.
void Open(LineReader& reader) {
  if (!reader.IsOpen()) throw DownloadFileError(kIoError, 0, 0, reader.OpenFailure());
}

// The common parse loop: every data line becomes the next table position from
// 1 upward. The whole file is read: any fault refuses it, so that nothing of
// a broken file is ever sent.
template <class Record>
int ParseTableFile(const std::string& path, RecordTable<Record>& table,
                   Record (*parseLine)(const LineColumns&)) {
  LineReader reader(path);
  Open(reader);
  int stored = 0;
  std::string line;
  while (reader.ReadLine(line)) {
    if (IsSkippedLine(line)) continue;
    if (stored == kTableCapacity) throw TooManyRecords(reader.LineNumber());
    table.At(stored + 1) = parseLine(LineColumns(line, reader.LineNumber()));
    ++stored;
  }
  if (stored == 0) throw DownloadFileError(kInputFileError, 0, 0, "the file holds no records");
  return stored;
}

// Runs `parse` and shows its refusal, with its place, in the error box.
template <class Parse>
int Checked(TForm1& form, const std::string& path, Parse parse) {
  try {
    return parse();
  } catch (const DownloadFileError& error) {
    form.View.ShowError(error.Describe(path));
    return 0;
  }
}

template <class Record>
int ReadTableFile(TForm1& form, const std::string& path, RecordTable<Record>& table,
                  Record (*parseLine)(const LineColumns&)) {
  return Checked(form, path, [&] { return ParseTableFile(path, table, parseLine); });
}

// The speedkey file holds one record in its first line; 72 columns for each
// key table.
constexpr int kSpeedkeyColumns = 72;

SpeedkeyRecord ParseSpeedkeyLine(const LineColumns& in) {
  SpeedkeyRecord record{};
  record.Number = 1;
  for (int i = 0; i < kSpeedkeyColumns; ++i) record.KeyTable1[i] = in.Number(1 + i);
  for (int i = 0; i < kSpeedkeyColumns; ++i) {
    record.KeyTable2[i] = in.Number(1 + kSpeedkeyColumns + i);
  }
  return record;
}

}  // namespace

int ReadPluFile(TForm1& form, const std::string& path) {
  return ReadTableFile(form, path, PluTable, ParsePluLine);
}

int ReadBarcodeFile(TForm1& form, const std::string& path) {
  return ReadTableFile(form, path, BarcodeTable, ParseBarcodeLine);
}

int ReadIngredientFile(TForm1& form, const std::string& path) {
  return ReadTableFile(form, path, IngredientTable, ParseIngredientLine);
}

int ReadScrollMsgFile(TForm1& form, const std::string& path) {
  return ReadTableFile(form, path, ScrollMsgTable, ParseScrollMsgLine);
}

// Reads the first line only; there is no comment-line rule here. On any
// failure SpeedkeyData keeps its earlier content.
int ReadSpeedkeyFile(TForm1& form, const std::string& path) {
  return Checked(form, path, [&] {
    LineReader reader(path);
    Open(reader);
    std::string line;
    if (!reader.ReadLine(line) || line.empty()) {
      throw DownloadFileError(kInputFileError, 1, 0, "the first line is empty, it holds no record");
    }
    SpeedkeyData = ParseSpeedkeyLine(LineColumns(line, 1));
    return 1;
  });
}
