#include "termsim/dump.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "records/records.h"
#include "termsim/terminal_memory.h"
#include "tests/support/temp_folder.h"

namespace {

template <class Record>
std::span<const uint8_t> Bytes(const Record& record) {
  return {reinterpret_cast<const uint8_t*>(&record), sizeof record};
}

std::string Dump(const TempFolder& folder, const std::string& kind) {
  std::ostringstream out;
  DumpRecords(folder.path(), "127.0.0.2", kind, out);
  return out.str();
}

TEST(Dump, PrintsTheColumnsOfTheDownloadFileInNumberOrder) {
  TempFolder folder;
  {
    TerminalMemory memory(folder.File("127.0.0.2"), 10);
    const termlink::RecordKind& plu = *termlink::FindRecordKind(kCodePlu);
    for (int32_t number : {20, -5}) {
      PluRecord record{};
      record.Field1 = 65535;
      record.PluNo = number;
      record.Field3 = 255;
      std::strcpy(record.Text, "Cheese, aged");
      record.Field5 = 5;
      record.Field6 = -6;
      record.Field7 = 7;
      record.Field8 = 8;
      record.Field9 = 9;
      memory.Put(plu, Bytes(record));
    }
    ScrollMsgRecord scroll{};
    scroll.Number = 3;
    std::memset(scroll.Text2, 'w', sizeof scroll.Text2);  // no terminating zero
    scroll.Field3 = 1;
    memory.Put(*termlink::FindRecordKind(kCodeScrollMsg), Bytes(scroll));
    SpeedkeyRecord keys{};
    for (int i = 0; i < 100; ++i) {
      keys.KeyTable1[i] = i + 1;
      keys.KeyTable2[i] = -(i + 1);
    }
    memory.Put(*termlink::FindRecordKind(kCodeSpeedkey), Bytes(keys));
  }
  EXPECT_EQ(
      "65535\t-5\t255\tCheese, aged\t5\t-6\t7\t8\t9\n"
      "65535\t20\t255\tCheese, aged\t5\t-6\t7\t8\t9\n",
      Dump(folder, "plu"));
  EXPECT_EQ("3\t" + std::string(115, 'w') + "\t1\n", Dump(folder, "scrollmsg"));
  std::string speedkey = Dump(folder, "speedkey");
  EXPECT_EQ(143, std::count(speedkey.begin(), speedkey.end(), '\t'));
  EXPECT_EQ(0u, speedkey.find("1\t2\t3\t"));
  EXPECT_NE(std::string::npos, speedkey.find("\t72\t-1\t-2\t"));
  EXPECT_EQ("", Dump(folder, "ingredient"));
}

TEST(Dump, AnUnknownTerminalIsAnError) {
  TempFolder folder;
  std::ostringstream out;
  EXPECT_THROW(DumpRecords(folder.path(), "127.0.0.9", "plu", out), std::runtime_error);
}

}  // namespace
