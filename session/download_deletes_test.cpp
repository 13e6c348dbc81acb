// The deletions that follow a download's records, on one session over the
// fake link: requests one at a time after the records, their log lines, the
// end of the transfer, and the hooks that tell which records the terminal
// acknowledged as stored and which deletions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/answer_router.h"
#include "records/checked_download.h"
#include "records/records.h"
#include "session/dispatch.h"
#include "session/download.h"
#include "session/prepared_download.h"
#include "session/terminal_session.h"
#include "tests/support/fake_link.h"
#include "tests/support/manual_loop.h"

namespace {

using Lines = std::vector<std::string>;
using Numbers = std::vector<int64_t>;

const std::string kAddress = "127.0.0.71";

// What the session tells: its lines, and the numbers its hooks were given.
struct HookReport : SessionReport {
  Lines lines;
  Numbers stored, deleted;
  void Log(const std::string& line) override { lines.push_back(line); }
  void LogProgress(const std::string& line) override {
    if (!lines.empty() && IsProgressLine(lines.back())) {
      lines.back() = line;
    } else {
      lines.push_back(line);
    }
  }
  void StateChanged(const TerminalSession&) override {}
  void Disconnected(TerminalSession&) override {}
  void RecordStored(const TerminalSession&, uint8_t, const DownloadRecord& record) override {
    stored.push_back(record.number);
  }
  void RecordDeleted(const TerminalSession&, uint8_t, int64_t number) override {
    deleted.push_back(number);
  }
};

// How the terminal answers one request: an echo of it, or a record under
// `number` with the status text `status`.
struct Reply {
  int64_t number = -1;  // -1: echo the request
  std::string status;
};

struct Case {
  const char* name;
  uint8_t code;
  Numbers file;   // the records' numbers, in file order
  bool sendFile;  // false: a changes send with no record to send
  Numbers deletes;
  std::vector<Reply> replies;  // by request, records first; echoes beyond
  Lines lines;
  Numbers stored, deleted;
  std::string failure;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

const Case kCases[] = {
    {"records, then the deletions",
     kCodePlu,
     {1, 2},
     true,
     {7, 9},
     {},
     {"- Success to Send Plu (2)", "- Complete Send Plu (Total : 2)",
      "- Complete Delete PLU (Total : 2)", "- Success to Disconect 127.0.0.71"},
     {1, 2},
     {7, 9},
     ""},
    {"only deletions",
     kCodePlu,
     {1},
     false,
     {5},
     {},
     {"- Complete Send Plu (Total : 0)", "- Complete Delete PLU (Total : 1)",
      "- Success to Disconect 127.0.0.71"},
     {},
     {5},
     ""},
    {"nothing to delete: the lines as ever",
     kCodePlu,
     {1},
     true,
     {},
     {},
     {"- Success to Send Plu (1)", "- Complete Send Plu (Total : 1)",
      "- Success to Disconect 127.0.0.71"},
     {1},
     {},
     ""},
    {"a deletion the store cannot keep",
     kCodePlu,
     {1},
     true,
     {7, 9},
     {{}, {}, {0, "ERR: 91 Record not saved"}},
     {"- Success to Send Plu (1)", "- Complete Send Plu (Total : 1)", "- Fail to Delete PLU (2)",
      "- Success to Disconect 127.0.0.71"},
     {1},
     {7},
     "refused: ERR: 91 Record not saved"},
    {"a deletion answered under another number",
     kCodeBarcode,
     {3},
     true,
     {7, 9},
     {{}, {8, ""}},
     {"- Success to Send dataDownloadNextBarcode", "DataReceivedBarcode",
      "- CompleteDownloadNextBarcode", "- Fail to Delete Barcode (1)",
      "- Success to Disconect 127.0.0.71"},
     {3},
     {},
     "refused: delete answered as record 8"},
    {"a refused record: no deletion follows",
     kCodePlu,
     {1, 2},
     true,
     {7},
     {{}, {0, "ERR: 90 Memory full"}},
     {"- Success to Send Plu (2)", "- Fail to Send Plu (2)", "- Success to Disconect 127.0.0.71"},
     {1},
     {},
     "refused: ERR: 90 Memory full"},
    {"the speedkey record",
     kCodeSpeedkey,
     {1},
     false,
     {1},
     {},
     {"- CompleteDownloadNextSpeedkey", "- Complete Delete Speedkey (Total : 1)",
      "- Success to Disconect 127.0.0.71"},
     {},
     {1},
     ""},
};

// A download of `kind` whose records carry `numbers`, every other byte zero.
PreparedDownload Prepared(const Case& c) {
  const RecordKind& kind = *KindOfCode(c.code);
  std::vector<uint8_t> bytes(c.file.size() * kind.size, 0);
  std::vector<int> lines;
  for (std::size_t i = 0; i < c.file.size(); ++i) {
    SetNumberOf(kind, std::span<uint8_t>(bytes).subspan(i * kind.size, kind.size), c.file[i]);
    lines.push_back(static_cast<int>(i + 1));
  }
  PreparedDownload download =
      EveryRecord(std::make_shared<const CheckedDownload>(kind, std::move(bytes), lines));
  if (!c.sendFile) download.records = std::make_shared<const std::vector<DownloadRecord>>();
  download.deletes = std::make_shared<const Numbers>(c.deletes);
  return download;
}

std::vector<uint8_t> ReplyRecord(const RecordKind& kind, const Reply& reply) {
  std::vector<uint8_t> record(kind.size, 0);
  SetNumberOf(kind, record, reply.number);
  std::copy(reply.status.begin(), reply.status.end(), record.begin() + kind.statusOffset);
  return record;
}

// A session connected to the terminal through the fake link, its connect's
// lines cleared.
struct ConnectedSession {
  ConnectedSession() {
    table.AddInterpreter(100, 5010, "records");
    session.Connect({});
    loop.RunPending();
    report.lines.clear();
  }

  FakeLink link;
  LinkLibrary table = link.Table();
  ManualLoop loop;
  AnswerRouter router{loop, IsDispatchedCode};
  SessionServices services{loop, table, router, nullptr,
                           [](const std::function<void()>& handler) { handler(); }};
  HookReport report;
  TerminalSession session{services, report,
                          SessionSettings{kAddress, "20404", "5000", "3", 10000, true, {}}};
};

class DownloadDeletes : public ::testing::TestWithParam<Case>, protected ConnectedSession {
 protected:
  // Answers every request as the case says until the session asks no more.
  void AnswerAll(const Case& c) {
    const RecordKind& kind = *KindOfCode(c.code);
    for (std::size_t i = 0; i < link.sent.size(); ++i) {
      const SentPacket request = link.sent[i];
      const Reply reply = i < c.replies.size() ? c.replies[i] : Reply{};
      const std::vector<uint8_t> record =
          reply.number < 0 ? request.data : ReplyRecord(kind, reply);
      link.Deliver(request.packet.Code, request.packet.Direction, record.data(),
                   static_cast<uint16_t>(record.size()), kAddress);
      loop.RunPending();
    }
  }
};

TEST_P(DownloadDeletes, FollowTheRecordsOneAtATime) {
  const Case& c = GetParam();
  const RecordKind& kind = *KindOfCode(c.code);
  session.Download(Prepared(c));
  AnswerAll(c);
  EXPECT_EQ(report.lines, c.lines);
  EXPECT_EQ(report.stored, c.stored);
  EXPECT_EQ(report.deleted, c.deleted);
  const TerminalState state = session.Glance();
  EXPECT_EQ(state.phase, SessionPhase::Disconnected);
  EXPECT_EQ(state.failure, c.failure);
  EXPECT_EQ(state.deleted, c.deleted.size());
  // After the records, each deletion goes out as a record of the kind, zero
  // but for its number, and only once the one before it is acknowledged.
  std::size_t deletions = 0;
  for (const SentPacket& sent : link.sent) {
    if (sent.packet.Direction != kDirectionDelete) continue;
    ASSERT_LT(deletions, c.deletes.size());
    std::vector<uint8_t> expected(kind.size, 0);
    SetNumberOf(kind, expected, c.deletes[deletions++]);
    EXPECT_EQ(sent.packet.Code, c.code);
    EXPECT_EQ(sent.data, expected);
  }
  const bool refusedRecord = report.stored.size() < (c.sendFile ? c.file.size() : 0);
  EXPECT_EQ(deletions, refusedRecord ? 0 : std::min(c.deletes.size(), c.deleted.size() + 1));
}

INSTANTIATE_TEST_SUITE_P(Cases, DownloadDeletes, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (char ch : std::string(info.param.name)) {
                             if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
                           }
                           return name;
                         });

// An answer to a deletion that no request awaits, or one that comes after
// the end, deletes nothing and changes nothing.
TEST(DownloadDeletesLate, AnAnswerNoDeletionAwaitsIsIgnored) {
  ConnectedSession connected;
  auto& [link, table, loop, router, services, report, session] = connected;
  Case c = kCases[0];
  session.Download(Prepared(c));  // record 1 awaits its acknowledgment
  const TransferState before = session.Transfer();
  std::vector<uint8_t> answer(sizeof(PluRecord), 0);
  SetNumberOf(*KindOfCode(kCodePlu), answer, 7);
  link.Deliver(kCodePlu, kDirectionDelete, answer.data(), static_cast<uint16_t>(answer.size()),
               kAddress);
  loop.RunPending();
  EXPECT_EQ(session.Transfer(), before);
  EXPECT_TRUE(report.deleted.empty());
  EXPECT_EQ(link.sent.size(), 1u);
}

}  // namespace
