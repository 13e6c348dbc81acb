#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The number a terminal answers to a request for `asked`; kEnd answers the
// "99" end status.
using Terminal = std::function<int64_t(int64_t asked)>;
constexpr int64_t kEnd = INT64_MIN;

// A terminal that holds `numbers`: the record asked for or the next one held.
Terminal Holding(std::set<int64_t> numbers) {
  return [numbers](int64_t asked) {
    auto found = numbers.lower_bound(asked);
    return found == numbers.end() ? kEnd : *found;
  };
}

struct Case {
  std::string name;
  bool plu;  // else barcode
  Terminal terminal;
  std::size_t lines;  // lines written to the upload file
  std::string end;    // the line before the disconnect
};

const Case kCases[] = {
    {"PLUs 1 5 10", true, Holding({1, 5, 10}), 3, "- CompleteDataReceivedPLU"},
    {"PLUs 1 and 1000000", true, Holding({1, 1000000}), 2, "- CompleteDataReceivedPLU"},
    {"barcodes 2 and 9", false, Holding({2, 9}), 2, "- CompleteDataReceivedBarcode"},
    {"PLU terminal stuck at 1", true, [](int64_t) { return int64_t{1}; }, 1,
     "- Fail to Send dataUploadNextPLU"},
    {"PLU answered below 1", true, [](int64_t) { return int64_t{-5}; }, 0,
     "- Fail to Send dataUploadNextPLU"},
    {"barcodes going back", false, [](int64_t asked) { return asked == 1 ? 5 : int64_t{3}; }, 1,
     "- Fail to Send dataUploadNextBarcode"},
};

// The number of the latest request.
int64_t Asked(const FakeLink& link, bool plu) {
  const auto& data = link.sent.back().data;
  if (plu) {
    int32_t number;
    std::memcpy(&number, data.data() + 2, sizeof number);
    return number;
  }
  uint16_t number;
  std::memcpy(&number, data.data(), sizeof number);
  return number;
}

void Reply(ProgramFixture& f, bool plu, int64_t number) {
  const char* end = "END: 99 No more records";
  if (plu) {
    PluRecord record{};
    record.PluNo = static_cast<int32_t>(number == kEnd ? 0 : number);
    std::strcpy(record.Text, number == kEnd ? end : "Item");
    Answer(f.link, f.loop, kCodePlu, kDirectionRead, record);
  } else {
    BarcodeRecord record{};
    record.Number = static_cast<uint16_t>(number == kEnd ? 0 : number);
    std::strcpy(record.Text2, number == kEnd ? end : "4001");
    Answer(f.link, f.loop, kCodeBarcode, kDirectionRead, record);
  }
}

std::size_t LinesIn(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++n;
  return n;
}

class UploadEnd : public ::testing::TestWithParam<Case> {};

TEST_P(UploadEnd, AnUploadEndsWhereTheTerminalsRecordsEndOrStopMovingForward) {
  const Case& c = GetParam();
  ProgramFixture f;
  Program& program = *f.program;
  if (!c.plu) program.ChooseDataKind(DataKind::Barcode);
  program.Serve("127.0.0.61");
  program.Connect(ServedOrder(program));  // connects, and registers the data callback
  f.loop.RunPending();
  program.ChooseUploadFile(f.folder.File("up.txt"));
  program.HandleEvent([&] { program.Upload(ServedUploadOrder(program)); });
  std::size_t answered = 0;
  while (f.link.sent.size() > answered && answered < 50) {
    answered = f.link.sent.size();
    Reply(f, c.plu, c.terminal(Asked(f.link, c.plu)));
  }
  EXPECT_EQ(LinesIn(f.folder.Read("up.txt")), c.lines);
  const Lines& log = program.Activity().Lines();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(Lines(log.end() - 2, log.end()), (Lines{c.end, "- Success to Disconect 127.0.0.61"}));
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Terminals, UploadEnd, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name;
  for (char c : info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(c))) name += c;
  }
  return name;
});

TEST(UploadTimeOut, AnUploadFromTheWindowEndsWhenTheTerminalFallsSilent) {
  ProgramFixture f;
  Program& program = *f.program;
  ChangeCycleOptions(program, std::nullopt, std::nullopt, 700);
  program.Serve("127.0.0.61");
  program.Connect(ServedOrder(program));  // connects, and registers the data callback
  f.loop.RunPending();
  program.ChooseUploadFile(f.folder.File("up.txt"));
  program.HandleEvent([&] { program.Upload(ServedUploadOrder(program)); });
  ASSERT_EQ(f.link.sent.size(), 1u);
  f.loop.Advance(699);
  EXPECT_EQ(program.Activity().Lines().back(), "- Success to Send dataUploadNextPLU");
  f.loop.Advance(1);
  const Lines& log = program.Activity().Lines();
  EXPECT_EQ(Lines(log.end() - 2, log.end()),
            (Lines{"- Time Out 127.0.0.61", "- Success to Disconect 127.0.0.61"}));
  EXPECT_EQ(program.ServedTransfer().End, TransferEnd::TimedOut);
  EXPECT_EQ(program.Served()->OpenUploadFile(), nullptr);
}

}  // namespace
