// The held rows: written in batches that a second connection sees only once
// committed, forgotten before a changed record is sent, replaced by a read,
// listed, forgotten per terminal, and written by two stores on one file at once.
#include <gtest/gtest.h>

#include <thread>

#include "held/held_store.h"
#include "held/held_test_support.h"
#include "held/record_digest.h"

namespace {

using namespace std::chrono_literals;

const HeldTerminal kTerminal{"127.0.0.2", 3001};
const RecordKind& Plu() {
  return *KindOfCode(kCodePlu);
}

// A PLU record of `number` named `name`, whole.
std::vector<uint8_t> PluBytes(int number, const char* name) {
  PluRecord record{};
  record.PluNo = number;
  std::snprintf(record.Text, sizeof record.Text, "%s", name);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  return {bytes, bytes + sizeof record};
}

class HeldBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string problem;
    store_ = HeldStore::Open(path_, problem);
    ASSERT_TRUE(store_) << problem;
  }
  // What the store holds of `terminal`'s PLU records, by number: their names.
  std::map<int64_t, std::string> Names(const HeldTerminal& terminal = kTerminal) {
    std::string error;
    auto records = store_->Records(terminal, kCodePlu, error);
    EXPECT_TRUE(records) << error;
    std::map<int64_t, std::string> names;
    for (const auto& [number, held] : records.value_or(HeldRecords{})) {
      const auto record = RecordOfFields(Plu(), held.fields);
      names[number] = reinterpret_cast<const PluRecord*>(record.data())->Text;
    }
    return names;
  }

  TempFolder folder_;
  std::string path_ = folder_.File("Orlent.db");
  std::unique_ptr<HeldStore> store_;
};

TEST_F(HeldBatchTest, RowsAreSeenByAnotherConnectionOnlyOnceCommitted) {
  OtherConnection other(path_);
  std::string error;
  {
    HeldBatch batch(*store_, kTerminal, kCodePlu, "PLU-Down.txt", 1h);
    struct Step {
      const char* name;
      std::function<void()> act;
      int seen;
    };
    const Step steps[] = {
        {"255 rows",
         [&] {
           for (int n = 1; n <= 255; ++n) batch.Stored(n, PluBytes(n, "item"));
         },
         0},
        {"the 256th", [&] { batch.Stored(256, PluBytes(256, "item")); }, 256},
        {"ten more",
         [&] {
           for (int n = 257; n <= 266; ++n) batch.Stored(n, PluBytes(n, "item"));
         },
         256},
        {"Commit", [&] { EXPECT_TRUE(batch.Commit(error)) << error; }, 266},
        {"a deletion", [&] { batch.Deleted(5); }, 266},
        {"Commit again", [&] { EXPECT_TRUE(batch.Commit(error)) << error; }, 265},
        {"two more",
         [&] {
           batch.Stored(5, PluBytes(5, "back"));
           batch.Stored(900, PluBytes(900, "new"));
         },
         265},
    };
    for (const Step& step : steps) {
      step.act();
      EXPECT_EQ(other.Rows(kTerminal.address), step.seen) << step.name;
    }
    EXPECT_EQ(batch.Failure(), "");
  }
  EXPECT_EQ(other.Rows(kTerminal.address), 267) << "the destroyed batch committed what was left";
  EXPECT_EQ(Names()[5], "back");
}

TEST_F(HeldBatchTest, ARowCommitsOnceItsWaitIsOver) {
  OtherConnection other(path_);
  HeldBatch batch(*store_, kTerminal, kCodePlu, "PLU-Down.txt", 0ms);
  batch.Stored(1, PluBytes(1, "item"));
  EXPECT_EQ(other.Rows(kTerminal.address), 1);
  batch.Deleted(1);
  EXPECT_EQ(other.Rows(kTerminal.address), 0);
}

TEST_F(HeldBatchTest, RowsKeepTheirFieldsDigestTimeAndFile) {
  {
    HeldBatch batch(*store_, kTerminal, kCodePlu, "/shop/PLU-Down.txt");
    batch.Stored(7, PluBytes(7, "Pears"));
  }
  std::string error;
  const auto records = store_->Records(kTerminal, kCodePlu, error);
  ASSERT_TRUE(records) << error;
  ASSERT_EQ(records->size(), 1u);
  const HeldRecord& row = records->at(7);
  EXPECT_EQ(row.number, 7);
  EXPECT_EQ(row.fields, FieldsOf(Plu(), PluBytes(7, "Pears")));
  EXPECT_EQ(row.digest, DigestOf(row.fields));
  EXPECT_GT(row.when, 0);
  EXPECT_EQ(row.file, "/shop/PLU-Down.txt");
  EXPECT_TRUE(store_->Records({kTerminal.address, 3002}, kCodePlu, error)->empty());
  EXPECT_TRUE(store_->Records(kTerminal, kCodeBarcode, error)->empty());
}

TEST_F(HeldBatchTest, BeginForgetsTheRowsOfRecordsHeldWithOtherFields) {
  {
    const DownloadFileRead sent =
        PluLines(folder_, PluLine(1, "old", 0) + PluLine(2, "old", 0) + PluLine(3, "old", 0));
    HeldBatch batch(*store_, kTerminal, kCodePlu, "PLU-Down.txt");
    for (const DownloadRecord& record : sent.download->Records()) {
      batch.Stored(record.number, record.bytes);
    }
  }
  const DownloadFileRead file =
      PluLines(folder_, PluLine(1, "old", 0) + PluLine(2, "new", 0) + PluLine(4, "new", 0));
  ASSERT_EQ(file.records, 3);
  HeldBatch batch(*store_, kTerminal, kCodePlu, "PLU-Down.txt");
  std::string error;
  ASSERT_TRUE(batch.Begin(file.download->Records(), error)) << error;
  // 1 is held as it is sent, 3 is not sent: both stay.
  EXPECT_EQ(Names(), (std::map<int64_t, std::string>{{1, "old"}, {3, "old"}}));
}

TEST_F(HeldBatchTest, AReadReplacesTheRowsOfItsTerminalAndKind) {
  struct Case {
    const char* name;
    bool whole;
    std::map<int64_t, std::string> held;
  };
  const Case cases[] = {
      // 1 lies below the last record read, so the read saw it missing; 4 and 5 it did not reach.
      {"a read that stopped short", false, {{2, "read"}, {3, "read"}, {4, "sent"}, {5, "sent"}}},
      {"a whole read", true, {{2, "read"}, {3, "read"}}},
  };
  const HeldTerminal other{"127.0.0.3", 3001};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    ASSERT_TRUE(store_->Forget(kTerminal.address, error)) << error;
    {
      HeldBatch batch(*store_, kTerminal, kCodePlu, "PLU-Down.txt");
      HeldBatch others(*store_, other, kCodePlu, "PLU-Down.txt");
      for (int n = 1; n <= 5; ++n) {
        batch.Stored(n, PluBytes(n, "sent"));
        others.Stored(n, PluBytes(n, "sent"));
      }
    }
    ASSERT_TRUE(store_->ReplaceWithRead(kTerminal, kCodePlu,
                                        {PluBytes(2, "read"), PluBytes(3, "read")}, c.whole, error))
        << error;
    EXPECT_EQ(Names(), c.held);
    EXPECT_EQ(Names(other).size(), 5u) << "another terminal's rows stay";
    EXPECT_EQ(store_->Records(kTerminal, kCodePlu, error)->at(2).file, "") << "read, not sent";
  }
}

TEST_F(HeldBatchTest, SummariesListAndForgetForgets) {
  const HeldTerminal a{"127.0.0.2", 3001}, b{"127.0.0.2", 3002}, c{"127.0.0.3", 3001};
  for (const auto& [terminal, code, count] :
       {std::tuple{c, kCodePlu, 1}, {a, kCodePlu, 3}, {a, kCodeIngredient, 2}, {b, kCodePlu, 1}}) {
    HeldBatch batch(*store_, terminal, code, code == kCodePlu ? "PLU-Down.txt" : "Ing.txt");
    for (int n = 1; n <= count; ++n) {
      batch.Stored(n, std::vector<uint8_t>(KindOfCode(code)->size, 0));
    }
  }
  struct Case {
    std::string address;
    uint8_t code;
    std::vector<std::string> listed;  // terminal, port, code, records, file
  };
  const Case cases[] = {
      {"",
       0,
       {"127.0.0.2 3001 9 3 PLU-Down.txt", "127.0.0.2 3001 20 2 Ing.txt",
        "127.0.0.2 3002 9 1 PLU-Down.txt", "127.0.0.3 3001 9 1 PLU-Down.txt"}},
      {"127.0.0.3", 0, {"127.0.0.3 3001 9 1 PLU-Down.txt"}},
      {"", kCodeIngredient, {"127.0.0.2 3001 20 2 Ing.txt"}},
      {"127.0.0.9", 0, {}},
  };
  auto listed = [&](const std::string& address, uint8_t code) {
    std::string error;
    const auto summaries = store_->Summaries(address, code, error);
    EXPECT_TRUE(summaries) << error;
    std::vector<std::string> lines;
    for (const HeldSummary& s : summaries.value_or(std::vector<HeldSummary>{})) {
      EXPECT_GT(s.lastWhen, 0);
      lines.push_back(s.terminal.address + " " + std::to_string(s.terminal.port) + " " +
                      std::to_string(s.code) + " " + std::to_string(s.records) + " " + s.file);
    }
    return lines;
  };
  for (const Case& c : cases) EXPECT_EQ(listed(c.address, c.code), c.listed) << c.address;
  std::string error;
  ASSERT_TRUE(store_->Forget("127.0.0.2", error)) << error;
  EXPECT_EQ(listed("", 0), std::vector<std::string>{"127.0.0.3 3001 9 1 PLU-Down.txt"});
  EXPECT_TRUE(store_->AnyHeld());
  ASSERT_TRUE(store_->Forget("127.0.0.3", error)) << error;
  EXPECT_FALSE(store_->AnyHeld());
}

TEST_F(HeldBatchTest, TwoStoresOnOneFileWriteDifferentTerminalsAtOnce) {
  constexpr int kRecords = 3000;
  auto serve = [&](HeldTerminal terminal, std::string& failure) {
    std::string problem;
    auto store = HeldStore::Open(path_, problem);
    if (!store) {
      failure = problem;
      return;
    }
    HeldBatch batch(*store, terminal, kCodePlu, "PLU-Down.txt");
    for (int n = 1; n <= kRecords; ++n) batch.Stored(n, PluBytes(n, terminal.address.c_str()));
    if (!batch.Commit(failure)) return;
    failure = batch.Failure();
  };
  std::string first = "not done", second = "not done";
  std::thread a(serve, HeldTerminal{"127.0.0.4", 3001}, std::ref(first));
  std::thread b(serve, HeldTerminal{"127.0.0.5", 3001}, std::ref(second));
  a.join();
  b.join();
  EXPECT_EQ(first, "");
  EXPECT_EQ(second, "");
  OtherConnection other(path_);
  EXPECT_EQ(other.Rows("127.0.0.4"), kRecords);
  EXPECT_EQ(other.Rows("127.0.0.5"), kRecords);
}

}  // namespace
