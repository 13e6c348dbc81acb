#include "window/qt_event_loop.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <climits>
#include <future>
#include <optional>
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
  // The two timers of one owner, as a session has them.
  const TimerSlot pause{this, TimerKind::Pause};
  const TimerSlot answerTimeout{this, TimerKind::AnswerTimeout};
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
  loop.ArmTimer(pause, 40, [&] { fired.push_back("first"); });
  loop.ArmTimer(pause, 10, [&] { fired.push_back("second"); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 2000));
  QTest::qWait(100);
  EXPECT_EQ(fired, (std::vector<std::string>{"second"}));
}

TEST_F(QtEventLoopTest, StoppedTimersDoNotFireAndSlotsAreIndependent) {
  std::vector<std::string> fired;
  loop.ArmTimer(pause, 10, [&] { fired.push_back("PauseTimer"); });
  loop.ArmTimer(answerTimeout, 20, [&] { fired.push_back("AnswerTimeout"); });
  loop.StopTimer(pause);
  loop.StopTimer(pause);  // stopping an idle slot is harmless
  ASSERT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 2000));
  QTest::qWait(50);
  EXPECT_EQ(fired, (std::vector<std::string>{"AnswerTimeout"}));
}

TEST_F(QtEventLoopTest, ATimerMayArmItsOwnSlotAgain) {
  int shots = 0;
  std::function<void()> shoot = [&] {
    if (++shots < 3) loop.ArmTimer(pause, 5, shoot);
  };
  loop.ArmTimer(pause, 5, shoot);
  ASSERT_TRUE(QTest::qWaitFor([&] { return shots == 3; }, 2000));
}

TEST_F(QtEventLoopTest, AFailureIsReportedAndTheLoopGoesOn) {
  bool after = false;
  loop.Post([] { throw std::runtime_error("'x' is not a valid integer value"); });
  loop.ArmTimer(answerTimeout, 5, [] { throw std::runtime_error("timer failed"); });
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
  loop.ArmTimer(answerTimeout, INT_MAX, [&] { longest = true; });
  loop.ArmTimer(pause, -5, [&] { negative = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return negative; }, 2000));
  QTest::qWait(50);
  EXPECT_FALSE(longest);
  loop.StopTimer(answerTimeout);
}

TEST_F(QtEventLoopTest, BlockingWorkRunsOffTheWindowThreadAndItsEndComesBackOnIt) {
  const std::thread::id windowThread = std::this_thread::get_id();
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::promise<std::thread::id> worked;
  std::optional<std::thread::id> doneOn;
  loop.RunOffLoop(
      [&worked, released] {
        worked.set_value(std::this_thread::get_id());
        released.wait();  // as a connect waits for a terminal that is slow to greet
      },
      [&] { doneOn = std::this_thread::get_id(); });
  EXPECT_NE(worked.get_future().get(), windowThread);
  bool posted = false;
  loop.Post([&] { posted = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return posted; }, 2000)) << "the loop goes on meanwhile";
  EXPECT_FALSE(doneOn);
  release.set_value();
  ASSERT_TRUE(QTest::qWaitFor([&] { return doneOn.has_value(); }, 2000));
  EXPECT_EQ(*doneOn, windowThread);
}

}  // namespace
