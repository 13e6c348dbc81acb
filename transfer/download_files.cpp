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

// The common parse loop: every data line becomes the next table position from
// 1 upward. Records stored before an error stay stored and are counted.
template <class Record>
int ReadTableFile(TForm1& form, const std::string& path, RecordTable<Record>& table,
                  Record (*parseLine)(const LineColumns&)) {
  LineReader reader(path);
  if (!reader.IsOpen()) {
    form.View.ShowError(kIoError);
    return 0;
  }
  int stored = 0;
  try {
    std::string line;
    for (int lineNumber = 1; reader.ReadLine(line); ++lineNumber) {
      if (IsSkippedLine(line)) continue;
      if (stored == kTableCapacity) throw DownloadFileError(TooManyRecordsMessage(lineNumber));
      table.At(stored + 1) = parseLine(LineColumns(line, lineNumber));
      ++stored;
    }
    if (reader.Failed()) throw DownloadFileError(kIoError);
  } catch (const DownloadFileError& error) {
    form.View.ShowError(error.what());
  }
  return stored;
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
  LineReader reader(path);
  std::string line;
  if (!reader.IsOpen() || (!reader.ReadLine(line) && reader.Failed())) {
    form.View.ShowError(kIoError);
    return 0;
  }
  if (line.empty()) return 0;
  try {
    SpeedkeyData = ParseSpeedkeyLine(LineColumns(line, 1));
    return 1;
  } catch (const DownloadFileError& error) {
    form.View.ShowError(error.what());
    return 0;
  }
}
