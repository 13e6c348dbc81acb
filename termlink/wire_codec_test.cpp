// The wire codec: frames survive any cutting of the byte stream, and every
// kind of bad header is caught before a byte of data is trusted.
#include "termlink/wire_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "records/records.h"

namespace termlink {
namespace {

FrameHeader Header(uint8_t code, uint16_t direction, uint16_t length) {
  FrameHeader header;
  header.type = FrameType::kRequest;
  header.id = -1;
  header.channel = 1;
  header.code = code;
  header.interpreterGroup = 100;
  header.interpreterId = 5010;
  header.direction = direction;
  header.dataLength = length;
  return header;
}

// Feeds `bytes` to a reader in pieces of `piece` bytes and collects the frames.
std::vector<std::pair<FrameHeader, std::vector<uint8_t>>> Cut(const std::vector<uint8_t>& bytes,
                                                              size_t piece,
                                                              FrameReader::Result& last) {
  FrameReader reader;
  std::vector<std::pair<FrameHeader, std::vector<uint8_t>>> frames;
  size_t at = 0;
  last = FrameReader::Result::kNeedMore;
  while (at < bytes.size() && last != FrameReader::Result::kBad) {
    std::span<uint8_t> space = reader.Space();
    size_t count = std::min({piece, space.size(), bytes.size() - at});
    std::copy_n(bytes.begin() + at, count, space.begin());
    reader.Commit(count);
    at += count;
    Frame frame;
    while ((last = reader.Next(frame)) == FrameReader::Result::kFrame) {
      frames.emplace_back(frame.header, std::vector<uint8_t>(frame.data.begin(), frame.data.end()));
    }
  }
  return frames;
}

TEST(WireCodec, HeaderIsLittleEndianWithMagicAndVersion) {
  std::vector<uint8_t> bytes;
  uint8_t data[2] = {0xAB, 0xCD};
  AppendFrame(bytes, Header(203, 0x0302, 2), data);
  std::vector<uint8_t> expected = {'T', 'L',  'N',  'K',  1,    2, 0xFF, 0xFF, 1, 203,  100,
                                   0,   0x92, 0x13, 0x02, 0x03, 2, 0,    0,    0, 0xAB, 0xCD};
  EXPECT_EQ(expected, bytes);
}

TEST(WireCodec, FramesSurviveAnyCuttingOfTheStream) {
  std::mt19937 random(5);
  std::vector<std::vector<uint8_t>> records;
  std::vector<uint8_t> stream;
  for (uint16_t size :
       {uint16_t(1718), uint16_t(156), uint16_t(0), uint16_t(1027), uint16_t(1718)}) {
    std::vector<uint8_t> record(size);
    for (uint8_t& byte : record) byte = static_cast<uint8_t>(random());
    AppendFrame(stream, Header(kCodePlu, 3, size), record.data());
    records.push_back(record);
  }
  for (size_t piece : {size_t(1), size_t(7), size_t(20), size_t(1738), size_t(100000)}) {
    FrameReader::Result last;
    auto frames = Cut(stream, piece, last);
    ASSERT_EQ(records.size(), frames.size()) << "pieces of " << piece;
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i], frames[i].second);
      EXPECT_EQ(-1, frames[i].first.id);
      EXPECT_EQ(5010, frames[i].first.interpreterId);
    }
    EXPECT_EQ(FrameReader::Result::kNeedMore, last);
  }
}

TEST(WireCodec, BadHeadersAreRefusedAndTheStreamStaysBad) {
  std::vector<uint8_t> good;
  AppendFrame(good, Header(kCodeBarcode, 3, 0), nullptr);
  struct Case {
    size_t offset;
    uint8_t value;
    const char* reason;
  } cases[] = {
      {0, 'X', "bad magic"},
      {4, 2, "unsupported protocol version 2"},
      {5, 0, "unknown frame type 0"},
      {5, 4, "unknown frame type 4"},
      {18, 1, "reserved header bytes are not zero"},
      {17, 0x07, "frame of 1792 data bytes is over the limit of 1718"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    bytes[c.offset] = c.value;
    bytes.insert(bytes.end(), good.begin(), good.end());  // a good frame after it stays unread
    FrameReader reader;
    std::span<uint8_t> space = reader.Space();
    std::copy(bytes.begin(), bytes.end(), space.begin());
    reader.Commit(bytes.size());
    Frame frame;
    EXPECT_EQ(FrameReader::Result::kBad, reader.Next(frame)) << c.reason;
    EXPECT_EQ(c.reason, reader.error());
    EXPECT_EQ(FrameReader::Result::kBad, reader.Next(frame)) << c.reason;
  }
}

TEST(WireCodec, TheLargestRecordFitsAndOneByteMoreDoesNot) {
  std::vector<uint8_t> bytes;
  std::vector<uint8_t> record(kMaxRecordSize, 0x5A);
  AppendFrame(bytes, Header(kCodePlu, 3, kMaxRecordSize), record.data());
  std::string error;
  std::span<const uint8_t, kHeaderSize> head(bytes.data(), kHeaderSize);
  ASSERT_TRUE(DecodeHeader(head, error).has_value());
  bytes[16] = static_cast<uint8_t>((kMaxRecordSize + 1) & 0xFF);
  EXPECT_FALSE(DecodeHeader(head, error).has_value());
}

TEST(RecordTable, KnowsSizesAndDirections) {
  struct Case {
    uint8_t code;
    uint16_t direction;
    uint16_t length;
    const char* problem;
  } cases[] = {
      {kCodePlu, 2, 1718, ""},
      {kCodeSpeedkey, 3, 903, ""},
      {kCodeReportDept, 2, 139, ""},
      {kCodeSpeedkey, 2, 903, ""},
      {kCodeReportPlu, 3, 183, "the reportplu record cannot be written"},
      {33, 2, 10, "unknown data type code 33"},
      {kCodePlu, 1, 1718, "unknown direction 1"},
      {kCodePlu, 5, 1718, "unknown direction 5"},
      {kCodeBarcode, 3, 155, "a barcode record is 156 bytes, not 155"},
      // A delete: what a download writes, in a record of the kind's size.
      {kCodePlu, 4, 1718, ""},
      {kCodeBarcode, 4, 156, ""},
      {kCodeIngredient, 4, 1027, ""},
      {kCodeScrollMsg, 4, 224, ""},
      {kCodeSpeedkey, 4, 903, ""},
      {kCodeIngredient, 4, 2, "a ingredient record is 1027 bytes, not 2"},
      {kCodeReportPlu, 4, 183, "the reportplu record cannot be deleted"},
      {kCodeReportTime, 4, 139, "the reporttime record cannot be deleted"},
      {kCodeReportGroup, 4, 139, "the reportgroup record cannot be deleted"},
      {kCodeReportDept, 4, 139, "the reportdept record cannot be deleted"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.problem, CheckRecordFields(c.code, c.direction, c.length))
        << int(c.code) << "/" << c.direction;
  }
}

// Record numbers and status texts are written to, and read from, bytes
// written out by hand: the PLU number an i32 at offset 2, the scroll message
// number a u16 at offset 0 and its status text the 101 bytes from offset 3.
TEST(RecordTable, NumbersAndStatusTextsSitWhereTheTerminalKeepsThem) {
  const RecordKind& pluKind = *FindRecordKind(kCodePlu);
  std::vector<uint8_t> pluBytes(1718, 0);
  const uint8_t minus70000[] = {0x90, 0xEE, 0xFE, 0xFF};
  std::copy(std::begin(minus70000), std::end(minus70000), pluBytes.begin() + 2);
  std::vector<uint8_t> plu(1718, 0);
  SetRecordNumber(pluKind, plu, -70000);
  EXPECT_EQ(pluBytes, plu);
  EXPECT_EQ(-70000, RecordNumber(pluKind, pluBytes));

  const RecordKind& scrollKind = *FindRecordKind(kCodeScrollMsg);
  std::vector<uint8_t> scroll(224, 0xFF);
  SetRecordNumber(scrollKind, scroll, 0x1234);
  SetStatusText(scrollKind, scroll, std::string(200, 'a'));  // cut to the field
  std::vector<uint8_t> scrollBytes(224, 0xFF);
  scrollBytes[0] = 0x34;
  scrollBytes[1] = 0x12;
  std::fill_n(scrollBytes.begin() + 3, 100, 'a');
  scrollBytes[103] = 0;  // the field's last byte ends the text; the next field keeps its bytes
  EXPECT_EQ(scrollBytes, scroll);

  std::vector<uint8_t> answer(224, 0);
  const uint8_t written[] = {0xFF, 0xFF, 0, 'O', 'K', 0, 'x'};
  std::copy(std::begin(written), std::end(written), answer.begin());
  EXPECT_EQ(65535, RecordNumber(scrollKind, answer));  // a u16 is widened without sign
  EXPECT_EQ("OK", StatusText(scrollKind, answer));
  std::fill_n(answer.begin() + 3, 101, 'b');  // no zero byte: the field's end ends the text
  EXPECT_EQ(std::string(101, 'b'), StatusText(scrollKind, answer));
}

}  // namespace
}  // namespace termlink
