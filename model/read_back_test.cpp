// What a read-back proves, in the core: a verification reads from the lowest
// number a record can have and says "Verified" only when the terminal ended
// its records where nothing can follow; an end with status "95" or at 65535
// is its own verdict and a failure. The answer that ends a read so is no
// record: a verification does not compare it, a receive does not count it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

// One answer of the terminal: a PLU as FileOf writes it, or a status in a
// record numbered `number`.
struct Reply {
  int32_t number;
  const char* status = nullptr;
};
const Reply k99{0, "END: 99 No more records"};
const Reply k95{0, "END: 95 Last record"};

PluRecord PluOf(const Reply& reply) {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = reply.number;
  record.Field5 = reply.number % 1000;
  record.Field7 = 1;
  std::strcpy(record.Text,
              reply.status ? reply.status : ("Item " + std::to_string(reply.number)).c_str());
  return record;
}

int32_t AskedPlu(const FakeLink& link) {
  int32_t number;
  std::memcpy(&number, link.sent.back().data.data() + offsetof(PluRecord, PluNo), sizeof number);
  return number;
}

std::string FileOf(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) {
    const std::string number = std::to_string(n);
    text += "1\t" + number + "\t0\tItem " + number + "\t" + std::to_string(n % 1000) +
            "\t0\t1\t0\t0\r\n";
  }
  return text;
}

struct Case {
  const char* name;
  std::vector<int> file;  // its PLU numbers
  std::vector<Reply> replies;
  std::string verdict;  // the log line; empty: none
  std::string failure;  // the terminal's state
  uint32_t received;    // records the state counts
};

const Case kCases[] = {
    {"the end of records", {1, 2}, {{1}, {2}, k99}, "- Verified 127.0.0.2: 2 same", "", 2},
    {"the largest PLU number",
     {1, 2147483647},
     {{1}, {2147483647}},
     "- Verified 127.0.0.2: 2 same",
     "",
     2},
    {"a PLU held below 0",
     {1, 2},
     {{-5}, {1}, {2}, k99},
     "- Differs 127.0.0.2: 2 same, 1 only on the terminal",
     "differs: 2 same, 1 only on the terminal",
     3},
    {"a PLU held at 0",
     {1, 2},
     {{0}, {1}, {2}, k99},
     "- Differs 127.0.0.2: 2 same, 1 only on the terminal",
     "differs: 2 same, 1 only on the terminal",
     3},
    {"ended at 65535 after every file record",
     {1, 2},
     {{1}, {2}, {65535}},
     "- Not proven 127.0.0.2: 2 same; the terminal ended its records at 65535",
     "not proven: the terminal ended its records at 65535",
     2},
    {"the last record sent as 65535",
     {1, 2},
     {{1}, {65535}},
     "- Not proven 127.0.0.2: 1 same, 1 not seen; the terminal ended its records at 65535",
     "not proven: the terminal ended its records at 65535",
     1},
    {"the last record without its number",
     {1, 2},
     {{1}, k95},
     "- Not proven 127.0.0.2: 1 same, 1 not seen; the terminal sent its last record without "
     "its number (status 95)",
     "not proven: the terminal sent its last record without its number (status 95)",
     1},
    {"a record missing below the 95 end",
     {1, 2, 3},
     {{2}, k95},
     "- Differs 127.0.0.2: 1 same, 1 missing, 1 not seen",
     "differs: 1 same, 1 missing, 1 not seen",
     1},
    {"answers out of order", {1, 2}, {{2}, {1}}, "", "answers out of order", 1},
};

TEST(ReadBack, AVerificationIsVerifiedOnlyWhenItSawTheTerminalsWholeMemory) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ProgramFixture f;
    Program& program = *f.program;
    f.folder.Write("PLU-Down-Default.txt", FileOf(c.file));
    program.Terminals().SetEntries({{"127.0.0.2", true}});
    program.HandleEvent([&] { program.Verify(TickedVerifyOrder(program)); });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    ASSERT_FALSE(f.link.sent.empty());
    EXPECT_EQ(AskedPlu(f.link), INT32_MIN);  // the lowest PLU number first
    for (const Reply& reply : c.replies) {
      Answer(f.link, f.loop, kCodePlu, kDirectionRead, PluOf(reply));
    }
    ASSERT_FALSE(program.CycleRunning());
    const auto& log = program.Activity().Lines();
    const bool judged = std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.starts_with("- Verified") || line.starts_with("- Differs") ||
             line.starts_with("- Not proven");
    });
    if (c.verdict.empty()) {
      EXPECT_FALSE(judged);
    } else {
      EXPECT_NE(std::find(log.begin(), log.end(), c.verdict), log.end()) << c.verdict;
    }
    const TerminalState state = program.CycleStates().at(0);
    EXPECT_EQ(state.failure, c.failure);
    EXPECT_EQ(state.stored, c.received);
    if (!state.failure.starts_with("not proven")) continue;
    // Not proven is no success: "Send to Failed" sends the file again.
    f.link.sent.clear();
    program.HandleEvent([&] { program.SendToFailedTerminals(TickedSendOrder(program)); });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    ASSERT_EQ(f.link.sent.size(), 1u);
    EXPECT_EQ(f.link.sent[0].packet.Direction, kDirectionWrite);
  }
}

TEST(ReadBack, AVerificationOfBarcodesAsksForNumber0First) {
  ProgramFixture f;
  Program& program = *f.program;
  program.ChooseDataKind(DataKind::Barcode);
  f.folder.Write("Barcode-Down.txt", "1\t2\t3\tApples\t2000001\r\n");
  program.Terminals().SetEntries({{"127.0.0.2", true}});
  program.HandleEvent([&] { program.Verify(TickedVerifyOrder(program)); });
  f.loop.Advance(program.CycleOptionsInForce().pauseMs);
  f.loop.RunPending();
  ASSERT_EQ(f.link.sent.size(), 1u);
  EXPECT_EQ(f.link.sent[0].data[0] | f.link.sent[0].data[1] << 8, 0);
  BarcodeRecord held{};  // a barcode 0 that other software stored
  std::strcpy(held.Text2, "4000");
  Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, held);
  BarcodeRecord apples{1, 2, 3, "Apples", "2000001"};
  Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, apples);
  BarcodeRecord end{};
  std::strcpy(end.Text2, "END: 99 No more records");
  Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, end);
  ASSERT_FALSE(program.CycleRunning());
  EXPECT_EQ(program.CycleStates().at(0).failure, "differs: 1 same, 1 only on the terminal");
}

TEST(ReadBack, TheSpeedkeyRecordIsProvenOnlyWhenItComesUnderItsNumber) {
  const struct {
    uint16_t number;
    const char* status;
    std::string failure;
  } answers[] = {
      {1, "", ""},
      {0, "END: 95 Last record",
       "not proven: the terminal sent its last record without its number (status 95)"},
      {65535, "", "not proven: the terminal ended its records at 65535"},
  };
  for (const auto& a : answers) {
    SCOPED_TRACE(a.number);
    ProgramFixture f;
    Program& program = *f.program;
    program.ChooseDataKind(DataKind::Speedkey);
    std::string keys;
    for (int key = 1; key <= 144; ++key) keys += std::to_string(key) + (key < 144 ? "\t" : "\r\n");
    f.folder.Write("Speedkey-Down.txt", keys);
    program.Terminals().SetEntries({{"127.0.0.2", true}});
    program.HandleEvent([&] { program.Verify(TickedVerifyOrder(program)); });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    SpeedkeyRecord record{};
    record.Number = a.number;
    std::strcpy(record.Text, a.status);
    for (int key = 0; key < 72; ++key) {
      record.KeyTable1[key] = key + 1;
      record.KeyTable2[key] = key + 73;
    }
    Answer(f.link, f.loop, kCodeSpeedkey, kDirectionRead, record);
    ASSERT_FALSE(program.CycleRunning());
    EXPECT_EQ(program.CycleStates().at(0).failure, a.failure);
  }
}

TEST(ReadBack, AReceiveWritesTheEndingAnswerButCountsOnlyRecords) {
  for (const Reply& last : {Reply{65535}, k95}) {
    SCOPED_TRACE(last.number);
    ProgramFixture f;
    Program& program = *f.program;
    program.Terminals().SetEntries({{"127.0.0.2", true}});
    const std::string folder = f.folder.File("in");
    std::filesystem::create_directory(folder);
    program.HandleEvent([&] {
      program.ReceiveFromTerminals({ReceiveOrder::From::Ticked, kCodePlu, folder, {}});
    });
    f.loop.Advance(program.CycleOptionsInForce().pauseMs);
    f.loop.RunPending();
    EXPECT_EQ(AskedPlu(f.link), 1);  // a receive starts at 1
    for (const Reply& reply : {Reply{1}, Reply{2}, last}) {
      Answer(f.link, f.loop, kCodePlu, kDirectionRead, PluOf(reply));
    }
    ASSERT_FALSE(program.CycleRunning());
    EXPECT_EQ(program.CycleStates().at(0).stored, 2u);
    std::string lines;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      lines += f.folder.Read("in/" + entry.path().filename().string());
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
  }
}

}  // namespace
