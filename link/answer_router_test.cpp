#include "link/answer_router.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/answer_copy.h"
#include "records/records.h"
#include "tests/support/program_fixture.h"
#include "tests/support/real_loop.h"

// Packed record fields are compared as int64_t{...} values: gtest would bind
// them to misaligned references.

namespace {

RequestPacket Answer(uint8_t code, uint16_t direction, void* data, uint16_t length) {
  RequestPacket answer{};
  answer.Id = -1;
  answer.Address = "127.0.0.2";
  answer.Channel = 1;
  answer.Code = code;
  answer.InterpreterGroup = 100;
  answer.InterpreterId = 5010;
  answer.Direction = direction;
  answer.DataLength = length;
  answer.Data = data;
  return answer;
}

// A manual loop that counts what is posted to it.
class CountingLoop : public ManualLoop {
 public:
  void Post(std::function<void()> fn) override {
    ++posted;
    ManualLoop::Post(std::move(fn));
  }
  int posted = 0;
};

}  // namespace

TEST(AnswerCopy, AShortRecordIsPaddedWithZerosToItsFullSize) {
  // Only the number of a PLU record arrives; the handlers read all 1718 bytes.
  uint8_t bytes[6] = {1, 0, 0x39, 0x30, 0, 0};
  const AnswerCopy copy(Answer(kCodePlu, kDirectionRead, bytes, sizeof bytes));
  const auto* record = static_cast<const PluRecord*>(copy.Packet().Data);
  EXPECT_EQ(copy.Packet().DataLength, 6);
  EXPECT_EQ(int64_t{record->PluNo}, 12345);
  EXPECT_STREQ(record->Text, "");
  EXPECT_EQ(int64_t{record->Field8}, 0);
}

TEST(AnswerCopy, ATextFillingItsFieldStillEndsInsideTheCopy) {
  ReportTotalRecord record{};
  std::memset(&record, 'x', sizeof record);  // no zero byte anywhere
  const AnswerCopy copy(Answer(kCodeReportTime, kDirectionRead, &record, sizeof record));
  const auto* copied = static_cast<const ReportTotalRecord*>(copy.Packet().Data);
  EXPECT_EQ(std::strlen(copied->Text), sizeof record - offsetof(ReportTotalRecord, Text));
}

// The router alone, over the fake link and the manual loop: every answer
// carries its address and a barcode record whose number tells them apart.
class RouterTest : public ::testing::Test {
 protected:
  RouterTest() : router(loop, [](uint8_t code) { return code == kCodeBarcode; }) {
    const LinkLibrary table = link.Table();
    table.AddInterpreter(100, 5010, "Interp5010.dll");
    for (const char* address : {"127.0.0.2", "127.0.0.3", "127.0.0.9"}) {
      table.AddProcConnectionEx(1, address, 20404, 100, 5010, 5000, 3, 9, RouteAnswer, RouteLoss,
                                &router);
      table.Connect(address, -1);
    }
  }

  // Two owners of routes, as two sessions would be.
  const int firstOwner = 1;
  const int secondOwner = 2;

  AnswerRouter::Handler Recorder(const std::string& name) {
    return [this, name](const RequestPacket& answer) {
      const auto* record = static_cast<const BarcodeRecord*>(answer.Data);
      handled[name].push_back(std::string(answer.Address) + " " +
                              std::to_string(int64_t{record->Number}) + " " + record->Text2);
    };
  }
  void Deliver(const std::string& address, uint32_t number) {
    BarcodeRecord record{};
    record.Number = number;
    std::strcpy(record.Text2, "ok");
    link.Deliver(kCodeBarcode, kDirectionWrite, &record, sizeof record, address);
  }

  FakeLink link;
  ManualLoop loop;
  AnswerRouter router;
  std::map<std::string, std::vector<std::string>> handled;
};

TEST_F(RouterTest, AnswersReachTheHandlerOfTheirAddressOnly) {
  // Each step: the routes in force and the answers delivered (address and
  // number) before the loop runs; then what each handler received.
  enum class Step {
    RouteBoth,
    UnrouteFirstBeforeRunning,
    RouteFirstAgain,
    TakenOverThenOldUnroutes
  };
  struct Case {
    Step step;
    std::vector<std::pair<std::string, uint32_t>> answers;
    std::map<std::string, std::vector<std::string>> expected;
  };
  const Case cases[] = {
      {Step::RouteBoth,
       {{"127.0.0.2", 1}, {"127.0.0.3", 2}, {"127.0.0.9", 3}, {"127.0.0.2", 4}},
       {{"first", {"127.0.0.2 1 ok", "127.0.0.2 4 ok"}}, {"second", {"127.0.0.3 2 ok"}}}},
      // Posted while routed, handled after Unroute: dropped.
      {Step::UnrouteFirstBeforeRunning,
       {{"127.0.0.2", 5}, {"127.0.0.3", 6}},
       {{"second", {"127.0.0.3 6 ok"}}}},
      {Step::RouteFirstAgain, {{"127.0.0.2", 7}}, {{"first", {"127.0.0.2 7 ok"}}}},
      // A second owner routes the address; the first one's unroute leaves it routed.
      {Step::TakenOverThenOldUnroutes, {{"127.0.0.2", 8}}, {{"second", {"127.0.0.2 8 ok"}}}},
  };
  for (const Case& c : cases) {
    handled.clear();
    if (c.step == Step::RouteBoth) {
      router.Route("127.0.0.2", &firstOwner, Recorder("first"));
      router.Route("127.0.0.3", &secondOwner, Recorder("second"));
    }
    if (c.step == Step::RouteFirstAgain) router.Route("127.0.0.2", &firstOwner, Recorder("first"));
    if (c.step == Step::TakenOverThenOldUnroutes) {
      router.Route("127.0.0.2", &secondOwner, Recorder("second"));
      router.Unroute("127.0.0.2", &firstOwner);
    }
    for (const auto& [address, number] : c.answers) Deliver(address, number);
    EXPECT_TRUE(handled.empty()) << "nothing runs on the library's thread";
    if (c.step == Step::UnrouteFirstBeforeRunning) router.Unroute("127.0.0.2", &firstOwner);
    loop.RunPending();
    EXPECT_EQ(handled, c.expected) << static_cast<int>(c.step);
  }
}

TEST_F(RouterTest, AHandlerMayUnrouteItsOwnAddress) {
  router.Route("127.0.0.2", &firstOwner, [this](const RequestPacket& answer) {
    router.Unroute(answer.Address, &firstOwner);
    handled["first"].push_back(answer.Address);
  });
  Deliver("127.0.0.2", 1);
  Deliver("127.0.0.2", 2);
  loop.RunPending();
  EXPECT_EQ(handled["first"], std::vector<std::string>{"127.0.0.2"});
}

TEST_F(RouterTest, TheLossOfAConnectionReachesTheLossHandlerOfItsAddressOnly) {
  std::vector<std::string> lost;
  const auto note = [&](const std::string& name) {
    return [&lost, name] { lost.push_back(name); };
  };
  router.Route("127.0.0.2", &firstOwner, Recorder("first"), note("first"));
  router.Route("127.0.0.3", &secondOwner, Recorder("second"), note("second"));
  Deliver("127.0.0.2", 1);
  link.Lose("127.0.0.2");
  link.Lose("127.0.0.9");  // routed to nobody
  EXPECT_TRUE(lost.empty()) << "nothing runs on the library's thread";
  loop.RunPending();
  EXPECT_EQ(lost, std::vector<std::string>{"first"});
  EXPECT_EQ(handled["first"], std::vector<std::string>{"127.0.0.2 1 ok"})
      << "the answer came first";
  // Posted while routed, handled after Unroute: dropped.
  link.Lose("127.0.0.3");
  router.Unroute("127.0.0.3", &secondOwner);
  loop.RunPending();
  EXPECT_EQ(lost, std::vector<std::string>{"first"});
}

TEST(RouterLifetime, TheCallbacksOfARouterThatIsGoneReachNothing) {
  CountingLoop loop;
  BarcodeRecord record{};
  const RequestPacket answer = Answer(kCodeBarcode, kDirectionWrite, &record, sizeof record);
  auto router = std::make_unique<AnswerRouter>(loop, [](uint8_t) { return true; });
  // The library hands back the pointer it was given, also after the router
  // is gone: kept as a number the compiler does not follow, as the library's is.
  volatile const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(router.get());
  void* gone = reinterpret_cast<void*>(address);
  RouteAnswer(gone, &answer);
  RouteLoss(gone, "127.0.0.2", "closed by the terminal");
  EXPECT_EQ(loop.posted, 2);
  router.reset();
  gone = reinterpret_cast<void*>(address);
  RouteAnswer(gone, &answer);
  RouteLoss(gone, "127.0.0.2", "closed by the terminal");
  EXPECT_EQ(loop.posted, 2);
}

TEST(RouterAcrossThreads, AnswersOfTheLibrarysThreadReachTheLoopThreadInOrder) {
  FakeLink link;
  RealLoop loop;
  AnswerRouter router(loop, [](uint8_t code) { return code == kCodeBarcode; });
  link.interpreters.insert({100, 5010});
  link.Table().AddProcConnectionEx(1, "127.0.0.2", 20404, 100, 5010, 5000, 3, 9, RouteAnswer,
                                   RouteLoss, &router);
  link.Table().Connect("127.0.0.2", -1);
  std::vector<int64_t> numbers;
  router.Route("127.0.0.2", &router, [&](const RequestPacket& answer) {
    numbers.push_back(int64_t{static_cast<const BarcodeRecord*>(answer.Data)->Number});
  });
  std::thread library([&] {
    BarcodeRecord record{};
    for (uint32_t n = 1; n <= 200; ++n) {
      record.Number = n;
      link.Deliver(kCodeBarcode, kDirectionWrite, record);
    }
  });
  const bool all = loop.RunUntil([&] { return numbers.size() == 200; }, std::chrono::seconds(20));
  library.join();
  ASSERT_TRUE(all);
  for (int64_t n = 1; n <= 200; ++n) EXPECT_EQ(numbers[static_cast<std::size_t>(n - 1)], n);
}

class DataCallbackTest : public ::testing::Test {
 protected:
  DataCallbackTest() : program(loop, view, link.Table(), "/nowhere/orlent") {}

  FakeLink link;
  CountingLoop loop;
  RecordingView view;
  Program program;
};

TEST_F(DataCallbackTest, PostsOnlyDispatchedAnswersWithData) {
  BarcodeRecord record{};
  const auto route = [&](const RequestPacket& answer) { RouteAnswer(&program.Router(), &answer); };
  route(Answer(33, kDirectionRead, &record, sizeof record));
  route(Answer(0, kDirectionWrite, &record, sizeof record));
  route(Answer(kCodeBarcode, kDirectionWrite, nullptr, 0));
  route(Answer(kCodePlu, kDirectionRead, nullptr, sizeof(PluRecord)));
  EXPECT_EQ(loop.posted, 0);

  for (uint8_t code : {9, 17, 20, 203, 79, 45, 44, 43, 42}) {
    route(Answer(code, 1, &record, sizeof record));
  }
  EXPECT_EQ(loop.posted, 9);
}

TEST_F(DataCallbackTest, TheLoopThreadHandlesACopyOfTheAnswerOfItsTerminal) {
  // A barcode acknowledgment logs its Text2: delivered through the fake, whose
  // buffer is overwritten as soon as the callback returns.
  program.Serve("127.0.0.2");
  program.Terminals().SetPort("20404");
  program.Start();
  program.Connect(ServedOrder(program));  // routes the terminal's answers to its session
  loop.RunPending();
  view.appended.clear();
  program.Served()->State().Direction = 0;  // the transfer is to end: nothing is sent next
  BarcodeRecord record{};
  record.Number = 4;
  std::strcpy(record.Text2, "Stored");
  EXPECT_TRUE(link.Deliver(kCodeBarcode, kDirectionWrite, record));
  EXPECT_TRUE(view.appended.empty());  // nothing runs on the library's thread
  loop.RunPending();
  EXPECT_EQ(view.appended, std::vector<std::string>{"StoredDataReceivedBarcode"});
  EXPECT_EQ(program.ServedTransfer().AnswerNumber, 4u);
  EXPECT_TRUE(link.sent.empty());
}
