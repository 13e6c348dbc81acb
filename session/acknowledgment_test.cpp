#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/echo_answer.h"
#include "tests/support/program_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// How the terminal answers the write of a PLU record: an echo, or a status.
struct Reply {
  int32_t number;      // -1: echo the record as sent
  std::string status;  // the text field of a status answer
};
const Reply kEcho{-1, ""};

struct Case {
  std::string name;
  std::vector<int> plus;  // the download file's PLU numbers, in order
  std::vector<Reply> replies;
  uint32_t stored;
  TransferEnd end;
  std::string refusal;
  Lines lastLines;
};

const Case kCases[] = {
    {"all stored",
     {1, 2, 3},
     {kEcho, kEcho, kEcho},
     3,
     TransferEnd::Complete,
     "",
     {"- Complete Send Plu (Total : 3)", "- Success to Disconect 127.0.0.61"}},
    {"PLU 3 refused by a full memory",
     {1, 2, 3},
     {kEcho, kEcho, {0, "ERR: 90 Memory full"}},
     2,
     TransferEnd::Refused,
     "ERR: 90 Memory full",
     {"- Fail to Send Plu (3)", "- Success to Disconect 127.0.0.61"}},
    {"record not saved",
     {1, 2, 3},
     {kEcho, {0, "ERR: 91 Record not saved"}},
     1,
     TransferEnd::Refused,
     "ERR: 91 Record not saved",
     {"- Fail to Send Plu (2)", "- Success to Disconect 127.0.0.61"}},
    {"answered under another number",
     {1, 2, 3},
     {kEcho, {7, "Item 7"}},
     1,
     TransferEnd::Refused,
     "answered as record 7",
     {"- Fail to Send Plu (2)", "- Success to Disconect 127.0.0.61"}},
    {"the largest PLU number stored",
     {2147483647, 1},
     {kEcho, kEcho},
     2,
     TransferEnd::Complete,
     "",
     {"- Complete Send Plu (Total : 2)", "- Success to Disconect 127.0.0.61"}},
};

std::string PluFile(const std::vector<int>& numbers) {
  std::string text;
  for (int n : numbers) {
    text += "1\t" + std::to_string(n) + "\t0\tItem " + std::to_string(n) + "\t100\t0\t1\t0\t0\r\n";
  }
  return text;
}

class Acknowledgment : public ::testing::TestWithParam<Case> {};

TEST_P(Acknowledgment, ARecordCountsOnlyWhenTheTerminalStoredIt) {
  const Case& c = GetParam();
  ProgramFixture f;
  Program& program = *f.program;
  f.folder.Write("PLU-Down-Default.txt", PluFile(c.plus));
  program.Serve("127.0.0.61");
  program.Connect(ServedOrder(program));  // connects, and registers the data callback
  f.loop.RunPending();
  program.HandleEvent([&] { program.Download(ServedDownloadOrder(program)); });
  for (const Reply& reply : c.replies) {
    ASSERT_FALSE(f.link.sent.empty());
    if (reply.number < 0) {
      EchoLastSent(f.link, f.loop);
      continue;
    }
    PluRecord answer{};
    answer.PluNo = reply.number;
    std::strncpy(answer.Text, reply.status.c_str(), sizeof answer.Text - 1);
    Answer(f.link, f.loop, kCodePlu, kDirectionWrite, answer);
  }
  const TransferState& state = program.ServedTransfer();
  EXPECT_EQ(state.Stored, c.stored);
  EXPECT_EQ(state.End, c.end);
  EXPECT_EQ(state.Refusal, c.refusal);
  EXPECT_EQ(f.link.sent.size(), c.replies.size()) << "nothing is sent after a refusal";
  const Lines& log = program.Activity().Lines();
  ASSERT_GE(log.size(), c.lastLines.size());
  EXPECT_EQ(Lines(log.end() - static_cast<long>(c.lastLines.size()), log.end()), c.lastLines);

  // A late answer after the end counts nothing and sends nothing.
  EchoLastSent(f.link, f.loop);
  EXPECT_EQ(program.ServedTransfer().Stored, c.stored);
  EXPECT_LE(program.ServedTransfer().Stored, program.ServedTransfer().RecordIndex);
}

INSTANTIATE_TEST_SUITE_P(Replies, Acknowledgment, ::testing::ValuesIn(kCases),
                         [](const auto& info) {
                           std::string name;
                           for (char c : info.param.name) {
                             if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                           }
                           return name;
                         });

}  // namespace
