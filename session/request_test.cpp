#include "session/request.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "records/records.h"
#include "tests/support/program_fixture.h"

namespace {

class Request : public ::testing::Test {
 protected:
  // The served terminal is connected: a request goes out only then.
  Request() {
    fx.program->Serve("127.0.0.2");
    fx.link.Open("127.0.0.2");
  }

  template <std::size_t N>
  static bool AllZero(const uint8_t (&bytes)[N]) {
    return std::all_of(bytes, bytes + N, [](uint8_t b) { return b == 0; });
  }

  // Every field that is the same in every request.
  void ExpectFixedFields(const SentPacket& sent) {
    EXPECT_EQ(sent.packet.Id, -1);
    EXPECT_EQ(sent.address, "127.0.0.2");
    EXPECT_EQ(sent.packet.Channel, 1);
    EXPECT_EQ(sent.packet.InterpreterGroup, 100);
    EXPECT_EQ(sent.packet.InterpreterId, 5010);
    EXPECT_TRUE(AllZero(sent.packet.Reserved1));
    EXPECT_EQ(sent.packet.Reserved2, 0);
    EXPECT_EQ(sent.packet.Reserved3, 0);
    EXPECT_TRUE(AllZero(sent.packet.Reserved4));
  }

  ProgramFixture fx{false};
};

}  // namespace

TEST_F(Request, AReadRequestCarriesTheFixedValuesCodeDirectionAndRecord) {
  PluRecord record{};
  record.Field1 = 1;
  record.PluNo = 42;
  ASSERT_EQ(SendRequest(fx.program->OpenServedSession(ServedOrder(*fx.program)), kCodePlu,
                        kDirectionRead, &record, sizeof record),
            RequestOutcome::Sent);

  ASSERT_EQ(fx.link.sent.size(), 1u);
  const SentPacket& sent = fx.link.sent[0];
  ExpectFixedFields(sent);
  EXPECT_EQ(sent.packet.Code, 9);
  EXPECT_EQ(sent.packet.Direction, 2);
  EXPECT_EQ(sent.packet.DataLength, 1718);
  ASSERT_EQ(sent.data.size(), 1718u);
  EXPECT_EQ(std::memcmp(sent.data.data(), &record, sizeof record), 0);
  // IsConnect was asked first, for the same address and -1.
  ASSERT_EQ(fx.link.CallNames(), (std::vector<std::string>{"IsConnect", "SendDataEx"}));
  EXPECT_EQ(fx.link.calls[0].texts, std::vector<std::string>{"127.0.0.2"});
  EXPECT_EQ(fx.link.calls[0].numbers, std::vector<int>{-1});
}

TEST_F(Request, AWriteRequestCarriesTheWholeRecord) {
  ScrollMsgRecord record{};
  record.Number = 3;
  std::strcpy(record.Text2, "Fresh bread");
  record.Field3 = 7;
  ASSERT_EQ(SendRequest(fx.program->OpenServedSession(ServedOrder(*fx.program)), kCodeScrollMsg,
                        kDirectionWrite, &record, sizeof record),
            RequestOutcome::Sent);

  ASSERT_EQ(fx.link.sent.size(), 1u);
  const SentPacket& sent = fx.link.sent[0];
  ExpectFixedFields(sent);
  EXPECT_EQ(sent.packet.Code, 203);
  EXPECT_EQ(sent.packet.Direction, 3);
  EXPECT_EQ(sent.packet.DataLength, 224);
  ASSERT_EQ(sent.data.size(), 224u);
  EXPECT_EQ(std::memcmp(sent.data.data(), &record, sizeof record), 0);
}

TEST_F(Request, NothingIsSentUnlessIsConnectAnswersExactlyOne) {
  BarcodeRecord record{};
  for (int answer : {0, 2, -1}) {
    fx.link.isConnectResult = answer;
    EXPECT_EQ(SendRequest(fx.program->OpenServedSession(ServedOrder(*fx.program)), kCodeBarcode,
                          kDirectionWrite, &record, sizeof record),
              RequestOutcome::NotConnected)
        << answer;
  }
  EXPECT_EQ(fx.link.CallNames(), (std::vector<std::string>{"IsConnect", "IsConnect", "IsConnect"}));
  EXPECT_TRUE(fx.link.sent.empty());
}

TEST_F(Request, TheOutcomeIsWhatSendDataExAnswers) {
  IngredientRecord record{};
  fx.link.sendResult = 0;
  EXPECT_EQ(SendRequest(fx.program->OpenServedSession(ServedOrder(*fx.program)), kCodeIngredient,
                        kDirectionWrite, &record, sizeof record),
            RequestOutcome::Refused);
  fx.link.sendResult = 7;
  EXPECT_EQ(SendRequest(fx.program->OpenServedSession(ServedOrder(*fx.program)), kCodeIngredient,
                        kDirectionWrite, &record, sizeof record),
            RequestOutcome::Sent);
  EXPECT_EQ(fx.link.sent.size(), 2u);
}
