#include "termsim/store_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "records/records.h"
#include "termsim/terminal.h"
#include "termsim/terminal_memory.h"
#include "tests/support/file_size_limit.h"
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

TEST(StoreFile, AnEntryCutShortByACrashIsIgnored) {
  struct Tail {
    const char* name;
    std::string bytes;
  } tails[] = {
      {"a put", "\x01" + std::string(100, 'z')},
      {"a delete", std::string("\x02\x01\x00\x00", 4)},
  };
  for (const Tail& tail : tails) {
    TempFolder folder;
    {
      RecordMap records;
      StoreFile file(folder.path(), Barcode(), records);
      ASSERT_TRUE(file.AppendPut(BarcodeBytes(1, 7)));
    }
    folder.Write("barcode.dat", folder.Read("barcode.dat") + tail.bytes);
    RecordMap records = ReadStoreFile(folder.File("barcode.dat"), Barcode());
    ASSERT_EQ(1u, records.size()) << tail.name;
    EXPECT_EQ(BarcodeBytes(1, 7), records[1]) << tail.name;
  }
}

// Each case writes puts ('p', of a record filled with a byte) and deletes
// ('d') of record numbers, then reads the journal as written, and again once
// reopening has compacted it to one put of each record left.
TEST(StoreFile, RecordsAndDeletionsSurviveReopeningAndLaterWritesWin) {
  struct Step {
    char step;
    uint16_t number;
    uint8_t fill = 5;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    std::map<int64_t, uint8_t> left;  // number, fill
  } cases[] = {
      {"a later put wins", {{'p', 5, 1}, {'p', 2, 2}, {'p', 5, 3}}, {{2, 2}, {5, 3}}},
      {"put, put, delete the first", {{'p', 1}, {'p', 2}, {'d', 1}}, {{2, 5}}},
      {"deleted, then put again", {{'p', 1}, {'d', 1}, {'p', 1, 6}}, {{1, 6}}},
      {"a number never held", {{'p', 2}, {'d', 7}}, {{2, 5}}},
      {"everything deleted", {{'p', 1}, {'p', 2}, {'d', 2}, {'d', 1}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    {
      RecordMap records;
      StoreFile file(folder.path(), Barcode(), records);
      for (const Step& s : c.steps) {
        ASSERT_TRUE(s.step == 'p' ? file.AppendPut(BarcodeBytes(s.number, s.fill))
                                  : file.AppendDelete(s.number));
      }
    }
    RecordMap expected;
    for (const auto& [number, fill] : c.left)
      expected[number] = BarcodeBytes(static_cast<uint16_t>(number), fill);
    EXPECT_EQ(expected, ReadStoreFile(folder.File("barcode.dat"), Barcode()));
    RecordMap reopened;
    StoreFile file(folder.path(), Barcode(), reopened);
    EXPECT_EQ(expected, reopened);
    EXPECT_EQ(expected, ReadStoreFile(folder.File("barcode.dat"), Barcode()));
    EXPECT_EQ(8u + c.left.size() * (1 + sizeof(BarcodeRecord)),
              std::filesystem::file_size(folder.File("barcode.dat")));
  }
}

TEST(StoreFile, AVersionOneFileIsStillReadAndRewrittenAsAJournal) {
  TempFolder folder;
  std::string bytes = {'O',
                       'T',
                       'S',
                       'F',
                       1,
                       static_cast<char>(kCodeBarcode),
                       static_cast<char>(sizeof(BarcodeRecord)),
                       0};
  for (auto [number, fill] : {std::pair{5, 1}, {3, 3}, {5, 2}}) {
    std::vector<uint8_t> record = BarcodeBytes(number, fill);
    bytes.append(record.begin(), record.end());
  }
  folder.Write("barcode.dat", bytes);
  RecordMap records;
  StoreFile file(folder.path(), Barcode(), records);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(BarcodeBytes(5, 2), records[5]);
  EXPECT_EQ(2, folder.Read("barcode.dat")[4]);
  ASSERT_TRUE(file.AppendDelete(3));
  RecordMap left = ReadStoreFile(folder.File("barcode.dat"), Barcode());
  ASSERT_EQ(1u, left.size());
  EXPECT_EQ(BarcodeBytes(5, 2), left[5]);
}

// What the store cannot read as its own is refused and left as it was: an
// entry that is neither a put nor a delete, another program's file, and a
// store file read as another kind's.
TEST(StoreFile, AFileItCannotReadIsRefusedAndLeftAsItWas) {
  TempFolder folder;
  {
    RecordMap records;
    StoreFile file(folder.path(), Barcode(), records);
    ASSERT_TRUE(file.AppendPut(BarcodeBytes(1, 7)));
  }
  const std::string journal = folder.Read("barcode.dat");
  const struct {
    const char* name;
    std::string bytes;
    const termlink::RecordKind& kind;
    const char* says;  // empty: any reason
  } cases[] = {
      {"neither put nor delete", journal + "\x07" + std::string(156, 'x'), Barcode(), ""},
      {"another program's", "this is not a store file", Barcode(),
       "is not a store file of barcode"},
      {"another kind's", journal, *termlink::FindRecordKind(kCodePlu), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    folder.Write("barcode.dat", c.bytes);
    EXPECT_THROW(ReadStoreFile(folder.File("barcode.dat"), c.kind), std::runtime_error);
    if (&c.kind == &Barcode()) {
      RecordMap records;
      try {
        StoreFile file(folder.path(), c.kind, records);
        ADD_FAILURE() << "the file was read";
      } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
      }
    }
    EXPECT_EQ(c.bytes, folder.Read("barcode.dat"));
  }
}

TEST(StoreFile, ManyOverwritesKeepTheFileSmall) {
  TempFolder folder;
  RecordMap records;
  StoreFile file(folder.path(), Barcode(), records);
  for (int i = 0; i < 1000; ++i) {
    std::vector<uint8_t> record =
        BarcodeBytes(static_cast<uint16_t>(i % 3), static_cast<uint8_t>(i));
    records[i % 3] = record;
    ASSERT_TRUE(file.AppendPut(record));
    file.CompactIfDue(records);
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

// A deleted record stays deleted and the others stay, whether the simulator
// stopped cleanly (Save) or was killed after its last answer.
TEST(TerminalMemory, DeletionsSurviveAStopAndACrash) {
  const termlink::RecordKind& speedkey = *termlink::FindRecordKind(kCodeSpeedkey);
  for (bool crash : {false, true}) {
    TempFolder folder;
    {
      TerminalMemory memory(folder.File("127.0.0.2"), 10);
      for (uint16_t number : {1, 2, 3}) memory.Put(Barcode(), BarcodeBytes(number, 1));
      memory.Put(speedkey, std::vector<uint8_t>(sizeof(SpeedkeyRecord), 4));
      EXPECT_EQ(TerminalMemory::DeleteResult::kDeleted, memory.Delete(Barcode(), 2));
      EXPECT_EQ(TerminalMemory::DeleteResult::kDeleted, memory.Delete(Barcode(), 9));
      // The one speedkey record, whatever number the deletion names.
      EXPECT_EQ(TerminalMemory::DeleteResult::kDeleted, memory.Delete(speedkey, 77));
      EXPECT_TRUE(memory.Records(speedkey).empty());
      if (!crash) memory.Save();
    }
    TerminalMemory again(folder.File("127.0.0.2"), 10);
    const RecordMap& barcodes = again.Records(Barcode());
    ASSERT_EQ(2u, barcodes.size()) << crash;
    EXPECT_EQ(BarcodeBytes(1, 1), barcodes.at(1));
    EXPECT_EQ(BarcodeBytes(3, 1), barcodes.at(3));
    EXPECT_TRUE(again.Records(speedkey).empty()) << crash;
  }
}

// The terminal's answers to deletions: the number deleted, held or not, or
// the "91" refusal when the store file cannot keep the deletion; the record
// then stays, also after a restart.
TEST(Terminal, AnswersADeletionWithItsNumberOrRefusesItWhenTheStoreCannotKeepIt) {
  TempFolder folder;
  const std::string path = folder.File("127.0.0.2");
  {
    TerminalMemory memory(path, 10);
    Terminal terminal("127.0.0.2", memory);
    for (uint16_t number : {4, 5}) memory.Put(Barcode(), BarcodeBytes(number, 1));
    std::vector<uint8_t> expected(sizeof(BarcodeRecord), 0);
    for (uint16_t number : {4, 6}) {
      termlink::SetRecordNumber(Barcode(), expected, number);
      EXPECT_EQ(expected,
                terminal.Answer(Barcode(), kDirectionDelete, BarcodeBytes(number, 0)).record);
    }
    FileSizeLimit full(std::filesystem::file_size(path + "/barcode.dat") + 3);
    const std::vector<uint8_t> refused =
        terminal.Answer(Barcode(), kDirectionDelete, BarcodeBytes(5, 0)).record;
    EXPECT_EQ(0, termlink::RecordNumber(Barcode(), refused));
    EXPECT_EQ("ERR: 91 Record not saved", termlink::StatusText(Barcode(), refused));
    EXPECT_EQ(1u, memory.Records(Barcode()).count(5));
  }
  TerminalMemory again(path, 10);
  EXPECT_EQ((std::vector<int64_t>{5}), [&] {
    std::vector<int64_t> keys;
    for (const auto& [key, record] : again.Records(Barcode())) keys.push_back(key);
    return keys;
  }());
}

}  // namespace
