#include "window/qt_event_loop.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <climits>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "window/window_fixture.h"

namespace {

class QtEventLoopTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }
  void SetUp() override {
    loop.SetFailureHandler([this](const std::string& text) { failures.push_back(text); });
  }
  QtEventLoop loop;
  std::vector<std::string> failures;
};

TEST_F(QtEventLoopTest, PostedFunctionsRunLaterAndInOrder) {
  std::vector<int> ran;
  loop.Post([&] {
    ran.push_back(1);
    loop.Post([&] { ran.push_back(3); });  // after everything posted before it
  });
  loop.Post([&] { ran.push_back(2); });
  EXPECT_TRUE(ran.empty()) << "Post must not run the function at once";
  ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 3; }, 2000));
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST_F(QtEventLoopTest, PostsFromAnotherThreadRunOnTheWindowThreadInOrder) {
  QThread* windowThread = QThread::currentThread();
  std::vector<int> ran;
  bool allOnWindowThread = true;
  std::thread library([&] {
    for (int i = 0; i < 1000; ++i) {
      loop.Post([&, i] {
        allOnWindowThread = allOnWindowThread && QThread::currentThread() == windowThread;
        ran.push_back(i);
      });
    }
  });
  library.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 1000; }, 5000));
  EXPECT_TRUE(allOnWindowThread);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(ran[static_cast<std::size_t>(i)], i);
}

TEST_F(QtEventLoopTest, ATimerFiresOnceAndReArmingReplacesTheShot) {
  std::vector<std::string> fired;
  loop.ArmTimer(TimerSlot::Pause, 40, [&] { fired.push_back("first"); });
  loop.ArmTimer(TimerSlot::Pause, 10, [&] { fired.push_back("second"); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 2000));
  QTest::qWait(100);
  EXPECT_EQ(fired, (std::vector<std::string>{"second"}));
}

TEST_F(QtEventLoopTest, StoppedTimersDoNotFireAndSlotsAreIndependent) {
  std::vector<std::string> fired;
  loop.ArmTimer(TimerSlot::Pause, 10, [&] { fired.push_back("PauseTimer"); });
  loop.ArmTimer(TimerSlot::AnswerTimeout, 20, [&] { fired.push_back("AnswerTimeout"); });
  loop.StopTimer(TimerSlot::Pause);
  loop.StopTimer(TimerSlot::Pause);  // stopping an idle slot is harmless
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(fired, (std::vector<std::string>{"AnswerTimeout"}));
}

TEST_F(QtEventLoopTest, ATimerMayArmItsOwnSlotAgain) {
  int shots = 0;
  std::function<void()> shoot = [&] {
    if (++shots < 3) loop.ArmTimer(TimerSlot::Pause, 5, shoot);
  };
  loop.ArmTimer(TimerSlot::Pause, 5, shoot);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shots == 3; }, 2000));
}

TEST_F(QtEventLoopTest, AFailureIsReportedAndTheLoopGoesOn) {
  bool after = false;
  loop.Post([] { throw std::runtime_error("'x' is not a valid integer value"); });
  loop.ArmTimer(TimerSlot::AnswerTimeout, 5, [] { throw std::runtime_error("timer failed"); });
  loop.Post([&] { after = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return failures.size() == 2; }, 2000));
  EXPECT_TRUE(after);
  EXPECT_EQ(failures,
            (std::vector<std::string>{"'x' is not a valid integer value", "timer failed"}));
}

TEST_F(QtEventLoopTest, TheLongestAndANegativeDelayAreTakenAsTheyMean) {
  // The longest delay waits; a negative one fires at once instead of never.
  bool longest = false;
  bool negative = false;
  loop.ArmTimer(TimerSlot::AnswerTimeout, INT_MAX, [&] { longest = true; });
  loop.ArmTimer(TimerSlot::Pause, -5, [&] { negative = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return negative; }, 2000));
  QTest::qWait(50);
  EXPECT_FALSE(longest);
  loop.StopTimer(TimerSlot::AnswerTimeout);
}

}  // namespace
