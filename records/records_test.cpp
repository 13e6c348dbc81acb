// Golden bytes of every record type: a download line parsed into its record,
// or a report record built field by field, compared byte for byte with bytes
// written out by hand. Every byte not listed must be zero.
#include "records/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

// `size` bytes, zero but for the hand-written hex at the given offsets.
Bytes Expected(std::size_t size,
               std::initializer_list<std::pair<std::size_t, std::string_view>> parts) {
  Bytes bytes(size, 0);
  for (auto [offset, hex] : parts) {
    for (std::size_t i = 0; i < hex.size(); ++i) {
      if (hex[i] == ' ') continue;
      bytes.at(offset++) =
          static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
      ++i;
    }
  }
  return bytes;
}

template <class Record>
Bytes BytesOf(const Record& record) {
  const auto* begin = reinterpret_cast<const uint8_t*>(&record);
  return Bytes(begin, begin + sizeof record);
}

void ExpectSameBytes(const Bytes& actual, const Bytes& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  const auto [a, e] = std::mismatch(actual.begin(), actual.end(), expected.begin());
  EXPECT_TRUE(a == actual.end()) << "first difference at offset " << (a - actual.begin()) << ": 0x"
                                 << std::hex << int(*a) << " instead of 0x" << int(*e);
}

// Parses `line` as the only line of a file with `parse`: the bytes of its
// record, every one of them as it is sent.
void ParseInto(Bytes& target, DownloadFileRead (*parse)(const std::string&, const CodePage&),
               const std::string& line) {
  TempFolder folder;
  folder.Write("Down.txt", line + "\r\n");
  const DownloadFileRead read = parse(folder.File("Down.txt"), CodePage());
  ASSERT_FALSE(read.error) << read.error->what();
  ASSERT_EQ(read.records, 1);
  const auto bytes = read.download->Records()[0].bytes;
  target.assign(bytes.begin(), bytes.end());
}

}  // namespace

TEST(RecordBytes, PluRecordFromADownloadLine) {
  Bytes parsed;
  ParseInto(parsed, ReadPluFile, "4464\t1234\t44\tApples\t5\t6\t1\t-2\t255");
  ExpectSameBytes(parsed, Expected(1718, {
                                             {0, "70 11"},
                                             {2, "d2 04 00 00"},
                                             {6, "2c"},
                                             {7, "41 70 70 6c 65 73"},
                                             {435, "06 00 00 00"},
                                             {442, "ff"},
                                             {443, "05 00 00 00"},
                                             {475, "01 00"},
                                             {479, "fe ff ff ff"},
                                         }));
}

TEST(RecordBytes, BarcodeRecordFromADownloadLine) {
  Bytes parsed;
  ParseInto(parsed, ReadBarcodeFile, "513\t1\t2\tBananas\t200000200179");
  ExpectSameBytes(parsed, Expected(156, {
                                            {0, "01 02 01 02"},
                                            {4, "42 61 6e 61 6e 61 73"},
                                            {55, "32 30 30 30 30 30 32 30 30 31 37 39"},
                                        }));
}

TEST(RecordBytes, IngredientRecordFromADownloadLine) {
  Bytes parsed;
  ParseInto(parsed, ReadIngredientFile, "7\tFlour, water");
  ExpectSameBytes(parsed,
                  Expected(1027, {{0, "07 00"}, {2, "46 6c 6f 75 72 2c 20 77 61 74 65 72"}}));
}

TEST(RecordBytes, ScrollMsgRecordFromADownloadLine) {
  Bytes parsed;
  ParseInto(parsed, ReadScrollMsgFile, "$10\tFresh\t$FF");
  ExpectSameBytes(parsed, Expected(224, {{0, "10 00"}, {104, "46 72 65 73 68"}, {219, "ff"}}));
}

TEST(RecordBytes, SpeedkeyRecordFromADownloadLine) {
  std::string line = "1\t$ABCD";
  for (int column = 3; column <= 71; ++column) line += "\t0";
  line += "\t2147483647\t-1";
  for (int column = 74; column <= 143; ++column) line += "\t0";
  line += "\t305419896";
  Bytes parsed;
  ParseInto(parsed, ReadSpeedkeyFile, line);
  // Number 1, Text empty, entries 73 to 100 of both tables zero.
  ExpectSameBytes(parsed, Expected(903, {
                                            {0, "01 00"},
                                            {103, "01 00 00 00 cd ab 00 00"},
                                            {387, "ff ff ff 7f"},
                                            {503, "ff ff ff ff"},
                                            {787, "78 56 34 12"},
                                        }));
}

TEST(RecordBytes, ReportPluRecordBuiltFieldByField) {
  ReportPluRecord r{};
  r.Number = 5;
  r.Value0 = 0x0102;
  r.Year = 24;
  r.Month = 3;
  r.Day = 7;
  r.Hour = 9;
  r.Minute = 5;
  r.Second = 0;
  std::strcpy(r.Text, "OK");
  r.Value1 = 0xBEEF;
  r.Value2 = -3;
  r.Value3 = 0x1234;
  r.Value4 = 0x01020304;
  r.Value5 = 1000;
  r.Value6 = 6;
  r.Value7 = 7;
  r.Value8 = 8;
  r.Value9 = 9;
  r.Value10 = INT32_MAX;
  r.Value11 = INT32_MIN;
  ExpectSameBytes(BytesOf(r), Expected(183, {
                                                {0, "05 00"},
                                                {4, "02 01 18 03 07 09 05 00 4f 4b"},
                                                {119, "ef be fd ff ff ff 34 12"},
                                                {131, "04 03 02 01 e8 03 00 00"},
                                                {147, "06 00 00 00"},
                                                {155, "07 00 00 00"},
                                                {163, "08 00 00 00"},
                                                {171, "09 00 00 00 ff ff ff 7f 00 00 00 80"},
                                            }));
}

TEST(RecordBytes, ReportTotalRecordBuiltFieldByField) {
  ReportTotalRecord r{};
  r.Number = 0xFFFF;
  r.Year = 99;
  r.Month = 12;
  r.Day = 31;
  r.Hour = 23;
  r.Minute = 59;
  r.Second = 58;
  std::strcpy(r.Text, "00: 99");
  r.Value1 = 1;
  r.Value2 = 256;
  r.Value3 = 65536;
  r.Value4 = -256;
  r.Value5 = 0x11223344;
  ExpectSameBytes(BytesOf(r), Expected(139, {
                                                {0, "ff ff"},
                                                {6, "63 0c 1f 17 3b 3a 30 30 3a 20 39 39"},
                                                {119, "01 00 00 00 00 01 00 00 00 00 01 00"},
                                                {131, "00 ff ff ff 44 33 22 11"},
                                            }));
}

TEST(RecordBytes, RecordLengthOfEveryCode) {
  EXPECT_EQ(RecordLength(9), 1718);
  EXPECT_EQ(RecordLength(17), 156);
  EXPECT_EQ(RecordLength(20), 1027);
  EXPECT_EQ(RecordLength(203), 224);
  EXPECT_EQ(RecordLength('O'), 903);
  EXPECT_EQ(RecordLength('-'), 183);
  for (uint8_t code : {',', '+', '*'}) EXPECT_EQ(RecordLength(code), 139);
  for (uint8_t code : {0, 33, 41, 48, 255}) EXPECT_EQ(RecordLength(code), 0);
}
