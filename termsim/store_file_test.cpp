#include "termsim/store_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "records/records.h"
#include "termsim/terminal_memory.h"
#include "tests/support/temp_folder.h"

namespace {

const termlink::RecordKind& Barcode() {
  return *termlink::FindRecordKind(kCodeBarcode);
}

std::vector<uint8_t> BarcodeBytes(uint16_t number, uint8_t fill) {
  std::vector<uint8_t> record(sizeof(BarcodeRecord), fill);
  termlink::SetRecordNumber(Barcode(), record, number);
  return record;
}

TEST(StoreFile, RecordsSurviveReopeningAndLaterWritesWin) {
  TempFolder folder;
  {
    RecordMap records;
    StoreFile file(folder.path(), Barcode(), records);
    for (auto [number, fill] : {std::pair{5, 1}, {2, 2}, {5, 3}}) {
      std::vector<uint8_t> record = BarcodeBytes(number, fill);
      records[number] = record;
      ASSERT_TRUE(file.Append(record, records));
    }
  }
  RecordMap records;
  StoreFile file(folder.path(), Barcode(), records);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(BarcodeBytes(2, 2), records[2]);
  EXPECT_EQ(BarcodeBytes(5, 3), records[5]);
  // Opening compacts: the replaced record is gone from the file.
  EXPECT_EQ(8u + 2 * sizeof(BarcodeRecord), std::filesystem::file_size(folder.File("barcode.dat")));
}

TEST(StoreFile, ARecordCutShortByACrashIsIgnored) {
  TempFolder folder;
  {
    RecordMap records;
    StoreFile file(folder.path(), Barcode(), records);
    records[1] = BarcodeBytes(1, 7);
    ASSERT_TRUE(file.Append(records[1], records));
  }
  std::string bytes = folder.Read("barcode.dat");
  folder.Write("barcode.dat", bytes + std::string(100, 'z'));
  RecordMap records = ReadStoreFile(folder.File("barcode.dat"), Barcode());
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(BarcodeBytes(1, 7), records[1]);
}

TEST(StoreFile, AFileOfAnotherKindOrProgramIsRefused) {
  TempFolder folder;
  folder.Write("barcode.dat", "this is not a store file");
  RecordMap records;
  try {
    StoreFile file(folder.path(), Barcode(), records);
    FAIL() << "a foreign file was read";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string::npos, std::string(error.what()).find("is not a store file of barcode"));
  }
  EXPECT_EQ("this is not a store file", folder.Read("barcode.dat"));  // left as it was
  EXPECT_THROW(ReadStoreFile(folder.File("barcode.dat"), *termlink::FindRecordKind(kCodePlu)),
               std::runtime_error);
}

TEST(StoreFile, ManyOverwritesKeepTheFileSmall) {
  TempFolder folder;
  RecordMap records;
  StoreFile file(folder.path(), Barcode(), records);
  for (int i = 0; i < 1000; ++i) {
    std::vector<uint8_t> record =
        BarcodeBytes(static_cast<uint16_t>(i % 3), static_cast<uint8_t>(i));
    records[i % 3] = record;
    ASSERT_TRUE(file.Append(record, records));
  }
  EXPECT_LT(std::filesystem::file_size(folder.File("barcode.dat")), 100 * sizeof(BarcodeRecord));
  EXPECT_EQ(records, ReadStoreFile(folder.File("barcode.dat"), Barcode()));
}

TEST(TerminalMemory, CapacityCountsPerKindAndSpeedkeyIsOneRecord) {
  TempFolder folder;
  {
    TerminalMemory memory(folder.File("127.0.0.2"), 2);
    EXPECT_EQ(TerminalMemory::PutResult::kStored, memory.Put(Barcode(), BarcodeBytes(1, 1)));
    EXPECT_EQ(TerminalMemory::PutResult::kStored, memory.Put(Barcode(), BarcodeBytes(2, 1)));
    EXPECT_EQ(TerminalMemory::PutResult::kFull, memory.Put(Barcode(), BarcodeBytes(3, 1)));
    EXPECT_EQ(TerminalMemory::PutResult::kStored, memory.Put(Barcode(), BarcodeBytes(1, 9)));
    const termlink::RecordKind& speedkey = *termlink::FindRecordKind(kCodeSpeedkey);
    std::vector<uint8_t> keys(sizeof(SpeedkeyRecord), 4);
    EXPECT_EQ(TerminalMemory::PutResult::kStored, memory.Put(speedkey, keys));
    keys[0] = 77;  // another number, still the one speedkey record
    EXPECT_EQ(TerminalMemory::PutResult::kStored, memory.Put(speedkey, keys));
    EXPECT_EQ(1u, memory.Records(speedkey).size());
    memory.Save();
  }
  TerminalMemory again(folder.File("127.0.0.2"), 2);
  ASSERT_EQ(2u, again.Records(Barcode()).size());
  EXPECT_EQ(BarcodeBytes(1, 9), again.Records(Barcode()).at(1));
}

}  // namespace
