// The choice of what a changes send sends one terminal, one case per kind of
// difference between the file and what the terminal holds, with the lines a
// listing shows for it.
#include "held/change_plan.h"

#include <gtest/gtest.h>

#include "held/held_test_support.h"
#include "held/record_digest.h"

namespace {

// PLU 102 twice: its last line, at 199, is the one a terminal ends up storing.
const std::string kFile = PluLine(101, "Apples", 249) + PluLine(102, "Pears", 189) +
                          PluLine(103, "Plums", 100) + PluLine(104, "Kiwis", 50) +
                          PluLine(102, "Pears", 199);
const std::string kHeldAsFile = PluLine(101, "Apples", 249) + PluLine(102, "Pears", 199) +
                                PluLine(103, "Plums", 100) + PluLine(104, "Kiwis", 50);

struct Case {
  const char* name;
  std::string held;  // the lines of a file the terminal was sent
  bool deleteMissing;
  std::vector<int64_t> toSend;
  std::vector<int64_t> toDelete;
  int fresh, changed, unchanged, missing;
  std::vector<std::string> lines;  // of each change, then of each deletion
};

const Case kCases[] = {
    {"nothing held",
     "",
     false,
     {101, 103, 104, 102},
     {},
     4,
     0,
     0,
     0,
     {"PLU 101: new", "PLU 102: new", "PLU 103: new", "PLU 104: new"}},
    {"everything held as the file has it", kHeldAsFile, true, {}, {}, 0, 0, 4, 0, {}},
    {"new and changed",
     PluLine(101, "Apples", 249) + PluLine(102, "Pears", 189) + PluLine(103, "Prunes", 100),
     false,
     {103, 104, 102},
     {},
     1,
     2,
     1,
     0,
     {"PLU 102 price: 189 held, 199 in the file",
      "PLU 103 name: \"Prunes\" held, \"Plums\" in the file", "PLU 104: new"}},
    {"held, not in the file, left alone",
     kHeldAsFile + PluLine(900, "Old", 1),
     false,
     {},
     {},
     0,
     0,
     4,
     1,
     {}},
    {"held, not in the file, deleted",
     kHeldAsFile + PluLine(900, "Old", 1) + PluLine(5, "Older", 1),
     true,
     {},
     {5, 900},
     0,
     0,
     4,
     2,
     {"PLU 5: held, not in the file", "PLU 900: held, not in the file"}},
};

HeldRecords HeldOf(const TempFolder& folder, const std::string& lines) {
  HeldRecords held;
  if (lines.empty()) return held;
  const DownloadFileRead read = PluLines(folder, lines);
  EXPECT_TRUE(read.download);
  for (const DownloadRecord& record : read.download->Records()) {
    const auto fields = FieldsOf(read.download->Kind(), record.bytes);
    held[record.number] = {record.number, DigestOf(fields), fields, 1, "PLU-Down.txt"};
  }
  return held;
}

std::vector<std::string> LinesOf(const RecordKind& kind, const ChangePlan& plan) {
  std::vector<std::string> lines;
  for (const RecordChange& change : plan.changes) {
    for (std::string& line : ChangeLines(kind, change)) lines.push_back(std::move(line));
  }
  for (const int64_t number : plan.toDelete) lines.push_back(MissingLine(kind, number));
  return lines;
}

TEST(ChangePlan, SendsWhatTheTerminalDoesNotHoldAsTheFileHasIt) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const HeldRecords held = HeldOf(folder, c.held);
    const DownloadFileRead file = PluLines(folder, kFile);
    ASSERT_EQ(file.records, 5);
    const ChangePlan plan = PlanChanges(*file.download, held, c.deleteMissing);
    std::vector<int64_t> sent;
    for (const DownloadRecord& record : plan.toSend) sent.push_back(record.number);
    EXPECT_EQ(sent, c.toSend);
    EXPECT_EQ(plan.toDelete, c.toDelete);
    EXPECT_EQ(plan.fresh, c.fresh);
    EXPECT_EQ(plan.changed, c.changed);
    EXPECT_EQ(plan.unchanged, c.unchanged);
    EXPECT_EQ(plan.missing, c.missing);
    EXPECT_EQ(plan.Total(), 4);
    EXPECT_EQ(plan.nothingHeld, c.held.empty());
    EXPECT_EQ(plan.NeedsNothing(), c.toSend.empty() && c.toDelete.empty());
    EXPECT_EQ(LinesOf(file.download->Kind(), plan), c.lines);
    for (const DownloadRecord& record : plan.toSend) {
      if (record.number == 102) {
        EXPECT_EQ(record.line, 5) << "the last line of 102 is sent";
      }
    }
  }
}

TEST(ChangePlan, TextsAreShownThroughTheConverterAndUnreadableFieldsAsChanged) {
  TempFolder folder;
  HeldRecords held = HeldOf(folder, PluLine(101, "apples", 249) + PluLine(102, "Pears", 1));
  held[102].fields = {1, 2, 3};  // of no PLU record
  const DownloadFileRead file = PluLines(folder, kFile);
  const ChangePlan plan = PlanChanges(*file.download, held, false, [](std::string_view text) {
    return "<" + std::string(text) + ">";
  });
  EXPECT_EQ(LinesOf(file.download->Kind(), plan),
            (std::vector<std::string>{"PLU 101 name: \"<apples>\" held, \"<Apples>\" in the file",
                                      "PLU 102: changed", "PLU 103: new", "PLU 104: new"}));
}

}  // namespace
