#include "window/log_view.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTest>
#include <string>

#include "window/log_model.h"
#include "window/window_fixture.h"

namespace {

// Collects what the view's viewport is asked to paint.
class PaintWatch : public QObject {
 public:
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

class LogViewTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }
  void SetUp() override {
    view.setModel(&model);
    view.resize(428, 523);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.viewport()->installEventFilter(&watch);
  }

  // Lets pending paints happen, then forgets them.
  void Settle() {
    ProcessEvents();
    watch.painted = QRegion();
  }

  LogModel model;
  LogView view;
  PaintWatch watch;
};

TEST_F(LogViewTest, AReplacedLineIsDrawnAgain) {
  for (int n = 1; n <= 5; ++n) model.Append("line " + std::to_string(n));
  Settle();
  model.Replace(3, "- Success to Send Plu (2)");
  const QRect row = view.visualRect(model.index(3));
  ASSERT_FALSE(row.isEmpty());
  // A few times a second, not at once: a count replaced with every answer.
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.painted.intersects(row); }, 10000));
}

TEST_F(LogViewTest, TheLastOfAHundredThousandLinesCanBeShown) {
  for (int n = 1; n <= 100000; ++n) model.Append(std::to_string(n));
  view.scrollToBottom();
  Settle();
  const QModelIndex last = model.index(99999);
  const QRect row = view.visualRect(last);
  EXPECT_TRUE(view.viewport()->rect().contains(row));
  EXPECT_EQ(row.height(), LogModel::kItemHeight);
  EXPECT_EQ(view.indexAt(row.center()), last);

  model.Replace(99999, "- Success to Send Plu (3334)");
  EXPECT_TRUE(QTest::qWaitFor([&] { return watch.painted.intersects(row); }, 10000));
}

}  // namespace
