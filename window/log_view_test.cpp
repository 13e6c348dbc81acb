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

TEST_F(LogViewTest, ALineTooLongForTheLogShowsWholeAsItsToolTip) {
  const std::string longLine =
      "- Error: Cannot open file \"/home/shop/orlent/downloads/branch-north/PLU-Down-"
      "Weekend-Offers-December.txt\". No such file or directory";
  const struct {
    std::string line;
    bool tip;
  } cases[] = {{"* End *", false}, {"- Success to Send Plu (2)", false}, {longLine, true}};
  for (const auto& c : cases) model.Append(c.line);
  Settle();
  for (int row = 0; row < static_cast<int>(std::size(cases)); ++row) {
    const QPoint point = view.visualRect(model.index(row)).center();
    const QString expected = cases[row].tip ? QString::fromStdString(cases[row].line) : QString();
    EXPECT_EQ(view.ToolTipAt(point), expected) << cases[row].line;
  }
  EXPECT_EQ(view.ToolTipAt(QPoint(5, view.viewport()->height() - 2)), QString());  // no line
  // A window wide enough shows the long line whole, and needs no tool tip.
  view.resize(view.fontMetrics().horizontalAdvance(QString::fromStdString(longLine)) + 60, 523);
  Settle();
  EXPECT_EQ(view.ToolTipAt(view.visualRect(model.index(2)).center()), QString());
}

}  // namespace
