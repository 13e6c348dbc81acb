#include "records/download_files.h"

#include "records/download_line.h"
#include "records/line_reader.h"
#include "records/record_tables.h"

namespace {

PluRecord ParsePluLine(const LineColumns& in) {
  PluRecord record{};
  record.Field1 = in.U16(1);
  record.PluNo = in.PluNumber(2);
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
  record.Number = in.RecordNumber(1);
  record.Field2 = in.U8(2);
  record.Field3 = in.U8(3);
  in.CopyText(4, record.Text1);
  in.CopyText(5, record.Text2);
  return record;
}

IngredientRecord ParseIngredientLine(const LineColumns& in) {
  IngredientRecord record{};
  record.Number = in.RecordNumber(1);
  in.CopyText(2, record.Text);
  return record;
}

ScrollMsgRecord ParseScrollMsgLine(const LineColumns& in) {
  ScrollMsgRecord record{};
  record.Number = in.RecordNumber(1);
  in.CopyText(2, record.Text2);
  record.Field3 = in.U8(3);
  return record;
}

// The common parse loop: every data line becomes the next table position from
// 1 upward. The whole file is read: any fault refuses it, so that nothing of
// a broken file is ever sent.
template <class Record>
int ParseTableFile(const std::string& path, const CodePage& codePage, RecordTable<Record>& table,
                   Record (*parseLine)(const LineColumns&)) {
  LineReader reader(path);
  reader.RequireOpen();
  DownloadText texts(path, codePage);
  int stored = 0;
  std::string line;
  while (reader.ReadLine(line)) {
    if (IsSkippedLine(line)) continue;
    if (stored == kTableCapacity) throw TooManyRecords(reader.LineNumber());
    table.At(stored + 1) = parseLine(LineColumns(line, reader.LineNumber(), texts));
    ++stored;
  }
  if (stored == 0) throw DownloadFileError(kInputFileError, 0, 0, "the file holds no records");
  return stored;
}

// Runs `parse` and returns its refusal, with its place, instead of a count.
template <class Parse>
DownloadFileRead Checked(Parse parse) {
  try {
    return DownloadFileRead{parse(), std::nullopt};
  } catch (const DownloadFileError& error) {
    return DownloadFileRead{0, error};
  }
}

template <class Record>
DownloadFileRead ReadTableFile(const std::string& path, const CodePage& codePage,
                               RecordTable<Record>& table,
                               Record (*parseLine)(const LineColumns&)) {
  return Checked([&] { return ParseTableFile(path, codePage, table, parseLine); });
}

// The speedkey file holds one record in its first line; kSpeedkeyFileKeys
// columns for each key table.
SpeedkeyRecord ParseSpeedkeyLine(const LineColumns& in) {
  SpeedkeyRecord record{};
  record.Number = 1;
  for (int i = 0; i < kSpeedkeyFileKeys; ++i) record.KeyTable1[i] = in.Number(1 + i);
  for (int i = 0; i < kSpeedkeyFileKeys; ++i) {
    record.KeyTable2[i] = in.Number(1 + kSpeedkeyFileKeys + i);
  }
  return record;
}

}  // namespace

DownloadFileRead ReadPluFile(const std::string& path, const CodePage& codePage) {
  return ReadTableFile(path, codePage, PluTable, ParsePluLine);
}

DownloadFileRead ReadBarcodeFile(const std::string& path, const CodePage& codePage) {
  return ReadTableFile(path, codePage, BarcodeTable, ParseBarcodeLine);
}

DownloadFileRead ReadIngredientFile(const std::string& path, const CodePage& codePage) {
  return ReadTableFile(path, codePage, IngredientTable, ParseIngredientLine);
}

DownloadFileRead ReadScrollMsgFile(const std::string& path, const CodePage& codePage) {
  return ReadTableFile(path, codePage, ScrollMsgTable, ParseScrollMsgLine);
}

// Reads the first line only; there is no comment-line rule here. On any
// failure SpeedkeyData keeps its earlier content. Its columns are all
// numbers, so no text of it is ever converted.
DownloadFileRead ReadSpeedkeyFile(const std::string& path, const CodePage& codePage) {
  return Checked([&] {
    LineReader reader(path);
    reader.RequireOpen();
    DownloadText texts(path, codePage);
    std::string line;
    if (!reader.ReadLine(line) || line.empty()) {
      throw DownloadFileError(kInputFileError, 1, 0, "the first line is empty, it holds no record");
    }
    SpeedkeyData = ParseSpeedkeyLine(LineColumns(line, 1, texts));
    return 1;
  });
}
