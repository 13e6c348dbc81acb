#include "window/log_model.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSize>
#include <memory>
#include <string>

#include "window/window_fixture.h"

namespace {

class LogModelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureApplication(); }
  QString Row(int row) const { return model.index(row).data().toString(); }

  // Checks every change against the item model rules and aborts on a breach.
  // Its checks cost time per change, so the large test goes without it.
  void CheckRules() {
    tester = std::make_unique<QAbstractItemModelTester>(
        &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  }

  LogModel model;
  std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(LogModelTest, AppendsBlankLinesAndKeepsOrder) {
  CheckRules();
  model.Append("Orlent V3.0.0.0");
  model.Append("");
  model.Append("");
  model.Append("- Success Connect 127.0.0.2");
  ASSERT_EQ(model.rowCount(), 4);
  EXPECT_EQ(Row(0), "Orlent V3.0.0.0");
  EXPECT_EQ(Row(1), "");
  EXPECT_EQ(Row(2), "");
  EXPECT_EQ(Row(3), "- Success Connect 127.0.0.2");
}

TEST_F(LogModelTest, ReplacingTheProgressLineKeepsTheRowCount) {
  CheckRules();
  model.Append("Orlent V3.0.0.0");
  model.Append("- Success to Send Plu (1)");
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  for (int n = 2; n <= 3334; ++n)
    model.Replace(1, "- Success to Send Plu (" + std::to_string(n) + ")");
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(Row(1), "- Success to Send Plu (3334)");
  // The count is drawn again once the events run, not once per answer.
  EXPECT_EQ(changed.count(), 0);
  ASSERT_TRUE(changed.wait(10000));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(inserted.count(), 0);
  EXPECT_EQ(changed.last().at(0).value<QModelIndex>().row(), 1);
  EXPECT_EQ(changed.last().at(1).value<QModelIndex>().row(), 1);
}

TEST_F(LogModelTest, ReplacingARowThatDoesNotExistChangesNothing) {
  CheckRules();
  model.Append("only");
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  model.Replace(1, "beyond");
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(Row(0), "only");
  EXPECT_EQ(changed.count(), 0);
}

TEST_F(LogModelTest, ClearEmptiesEverything) {
  CheckRules();
  for (int i = 0; i < 1000; ++i) model.Append("line " + std::to_string(i));
  model.Clear();
  EXPECT_EQ(model.rowCount(), 0);
  model.Append("Orlent V3.0.0.0");
  EXPECT_EQ(Row(0), "Orlent V3.0.0.0");
}

TEST_F(LogModelTest, HoldsAHundredThousandLinesOfOneHeight) {
  for (int i = 1; i <= 100000; ++i) model.Append(std::to_string(i) + ". 1, 101, 0, Apple, 250");
  ASSERT_EQ(model.rowCount(), 100000);
  EXPECT_EQ(Row(99999), "100000. 1, 101, 0, Apple, 250");
  EXPECT_EQ(model.index(0).data(Qt::SizeHintRole).toSize().height(), LogModel::kItemHeight);
  EXPECT_EQ(model.index(99999).data(Qt::SizeHintRole).toSize().height(), LogModel::kItemHeight);
}

TEST_F(LogModelTest, ShowsDecodedTextButKeepsTheBytes) {
  CheckRules();
  const std::string bytes = "- Skip Connect caf\xc3\xa9 \xff";  // valid UTF-8, then a stray byte
  model.Append(bytes);
  EXPECT_TRUE(Row(0).startsWith(QString::fromUtf8("- Skip Connect caf\xc3\xa9 ")));
  EXPECT_EQ(model.Lines().at(0), bytes);
}

}  // namespace
