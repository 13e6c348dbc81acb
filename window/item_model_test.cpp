// The item editor's model on its own: each cell checked as a send reads it,
// prices as money, undo and redo of every step, and a save that keeps the
// bytes of every line nobody edited.
#include "window/item_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/download_files.h"
#include "tests/support/temp_folder.h"
#include "window/held_marks.h"
#include "window/window_fixture.h"

namespace {

const RecordKind& Plu() {
  return *KindNamed("plu");
}

// Comments, an empty line, CR LF, and a last line without its end.
const std::string kPluFile =
    "; prices of the week\r\n"
    "1\t101\t0\tApple\t189\t0\t0\t0\t0\r\n"
    "\r\n"
    "1\t102\t0\tPear\t250\t0\t0\t0\t0\textra\r\n"
    "; end\r\n"
    "1\t103\t0\tPlum\t1543\t0\t0\t0\t0";

struct Opened {
  TempFolder folder;
  ItemModel model{Plu(), CodePage()};
  explicit Opened(const std::string& bytes = kPluFile) {
    EnsureApplication();
    folder.Write("PLU-Down.txt", bytes);
    std::string error;
    EXPECT_TRUE(model.Open(folder.File("PLU-Down.txt"), error)) << error;
  }
  QString Cell(int row, int column) const {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
  }
  bool Set(int row, int column, const QString& value) {
    return model.setData(model.index(row, column), value, Qt::EditRole);
  }
  std::string Saved() {
    std::string error;
    EXPECT_TRUE(model.Save(error)) << error;
    return folder.Read("PLU-Down.txt");
  }
};

constexpr int kName = 3;
constexpr int kPrice = 4;

TEST(ItemModel, ShowsOneRowPerRecordWithTheKindsColumnsAndPricesAsMoney) {
  Opened o;
  ASSERT_EQ(o.model.rowCount(), 3);
  ASSERT_EQ(o.model.columnCount(), 9);
  EXPECT_EQ(o.model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "PLU no");
  EXPECT_EQ(o.model.headerData(kPrice, Qt::Horizontal, Qt::DisplayRole).toString(), "price");
  EXPECT_EQ(o.Cell(0, kPrice), "1.89");
  EXPECT_EQ(o.Cell(2, kPrice), "15.43");
  EXPECT_EQ(o.Cell(1, kName), "Pear");
  EXPECT_EQ(o.model.FaultCount(), 0);
  EXPECT_EQ(o.model.data(o.model.index(2, kPrice), ItemModel::kSortRole).toLongLong(), 1543);
}

TEST(ItemModel, ChecksEachEditedCellAsASendDoesAndKeepsARefusedValueWhole) {
  const std::string longName(428, 'N');
  struct Case {
    int column;
    QString typed;
    std::string inFile;  // the column's bytes in the saved line
    std::string fault;   // a part of the cell's fault; empty when taken
  } cases[] = {
      {kPrice, "12.3", "1230", ""},
      {kPrice, "12", "1200", ""},
      {kPrice, "-0.05", "-5", ""},
      {kPrice, "12,345", "12,345", "'12,345' is not an amount of money"},
      {kPrice, "12.345", "12.345", "is not an amount of money"},
      {kPrice, "99999999.99", "9999999999", "is not a whole number from -2147483648"},
      {kName, QString::fromStdString(longName), longName, "Text too long in line 2, column 4"},
      {kName, "K\u00e4se", "K\u00e4se", ""},
      {1, "65535", "65535", "is not a PLU number"},
      {0, "-1", "-1", "does not fit 0 to"},
      {0, "", "", "the column is empty, a number is needed"},
  };
  for (const Case& c : cases) {
    Opened o;
    ASSERT_TRUE(o.Set(0, c.column, c.typed)) << c.typed.toStdString();
    const std::string fault = o.model.CellFault(0, c.column);
    if (c.fault.empty()) {
      EXPECT_EQ(fault, "") << c.typed.toStdString();
      EXPECT_EQ(o.model.FaultCount(), 0);
    } else {
      EXPECT_NE(fault.find(c.fault), std::string::npos) << c.typed.toStdString() << ": " << fault;
      EXPECT_EQ(o.model.FaultCount(), 1);
      EXPECT_EQ(o.model.data(o.model.index(0, c.column), Qt::ToolTipRole).toString(),
                QString::fromStdString(fault));
    }
    const std::string saved = o.Saved();
    std::vector<std::string> columns(9, "0");
    columns[0] = "1";
    columns[1] = "101";
    columns[kName] = "Apple";
    columns[kPrice] = "189";
    columns[static_cast<std::size_t>(c.column)] = c.inFile;
    std::string line = columns[0];
    for (std::size_t i = 1; i < columns.size(); ++i) line += "\t" + columns[i];
    EXPECT_NE(saved.find("\r\n" + line + "\r\n"), std::string::npos) << c.typed.toStdString();
  }
}

TEST(ItemModel, RefusesATabOrACharacterTheFilesSetLacks) {
  Opened o("1\t101\t0\tK\xE4se\t189\t0\t0\t0\t0\r\n");  // windows-1252, not UTF-8
  EXPECT_EQ(o.Cell(0, kName), "K\u00e4se");
  QString refusal;
  QObject::connect(&o.model, &ItemModel::EditRefused, [&](const QString& why) { refusal = why; });
  EXPECT_FALSE(o.Set(0, kName, "a\tb"));
  EXPECT_TRUE(refusal.contains("tab"));
  EXPECT_FALSE(o.Set(0, kName, "\u20ac\u0100"));
  EXPECT_TRUE(refusal.contains("character set")) << refusal.toStdString();
  ASSERT_TRUE(o.Set(0, kName, "M\u00fcsli"));
  EXPECT_EQ(o.Saved(), "1\t101\t0\tM\xFCsli\t189\t0\t0\t0\t0\r\n");
}

TEST(ItemModel, SavingWhatNobodyChangedGivesTheFileByteForByte) {
  for (const std::string& bytes :
       {kPluFile, std::string("\xEF\xBB\xBF") + "1\t1\t0\tA\t1\t0\t0\t0\t0\n;x\n\n",
        std::string("1\t1\t0\tA\t1\t0\t0\t0\t0\r\n\x1A")}) {
    Opened o(bytes);
    ASSERT_TRUE(o.Set(0, kPrice, "9.99"));
    o.model.Edits().undo();
    EXPECT_EQ(o.Saved(), bytes);
  }
}

TEST(ItemModel, WritesOnlyTheEditedLineAndTheSendReadsTheResult) {
  Opened o;
  ASSERT_TRUE(o.Set(1, kPrice, "2.60"));
  std::string expected = kPluFile;
  expected.replace(expected.find("Pear\t250"), 8, "Pear\t260");
  EXPECT_EQ(o.Saved(), expected);
  const DownloadFileRead read = ReadDownloadFile(Plu(), o.folder.File("PLU-Down.txt"), CodePage());
  ASSERT_TRUE(read.download) << read.error->Describe("PLU-Down.txt");
  EXPECT_EQ(read.records, 3);
}

TEST(ItemModel, UndoesAndRedoesEditsAddsDuplicatesAndDeletes) {
  Opened o;
  QUndoStack& edits = o.model.Edits();
  ASSERT_TRUE(o.Set(0, kName, "Apples"));
  o.model.AddRow(-1);
  EXPECT_EQ(o.model.rowCount(), 4);
  EXPECT_EQ(o.Cell(3, 1), "104");  // one above the highest
  o.model.DuplicateRow(0);
  EXPECT_EQ(o.Cell(1, kName), "Apples");
  o.model.DeleteRows({2, 4});  // Pear, and the added row
  EXPECT_EQ(o.model.rowCount(), 3);
  EXPECT_EQ(o.Cell(2, kName), "Plum");
  EXPECT_EQ(o.Saved(),
            "; prices of the week\r\n"
            "1\t101\t0\tApples\t189\t0\t0\t0\t0\r\n"
            "1\t101\t0\tApples\t189\t0\t0\t0\t0\r\n"
            "\r\n"
            "; end\r\n"
            "1\t103\t0\tPlum\t1543\t0\t0\t0\t0");
  edits.undo();  // the delete
  EXPECT_EQ(o.model.rowCount(), 5);
  EXPECT_EQ(o.Cell(2, kName), "Pear");
  edits.undo();  // the duplicate
  edits.undo();  // the add
  edits.undo();  // the edit
  EXPECT_EQ(o.Cell(0, kName), "Apple");
  EXPECT_EQ(o.Saved(), kPluFile);
  edits.redo();
  edits.redo();
  EXPECT_EQ(o.model.rowCount(), 4);
  EXPECT_EQ(o.Cell(0, kName), "Apples");
  // An added line after a last line without its end gives that line one.
  EXPECT_NE(o.Saved().find("1543\t0\t0\t0\t0\r\n0\t104\t0\t\t0\t0\t0\t0\t0\r\n"),
            std::string::npos);
}

TEST(ItemModel, CountsTheFilesOwnFaults) {
  Opened o("; nothing yet\r\n");
  EXPECT_EQ(o.model.rowCount(), 0);
  EXPECT_EQ(o.model.FaultCount(), 1);
  o.model.AddRow(-1);
  EXPECT_EQ(o.Cell(0, 1), "1");
  EXPECT_EQ(o.model.FaultCount(), 0);
}

// What a changes send's plan says each ticked terminal lacks marks the rows
// by number: held otherwise, not held, both, or by several terminals; a
// terminal holding nothing known marks nothing.
TEST(ItemModelHeldMarks, MarkTheNumberOfEveryRowATerminalHoldsOtherwise) {
  auto terminal = [](std::string address, std::vector<RecordChange> changes, bool nothing = false) {
    TerminalPlan t{std::move(address), 20404, {}};
    t.plan.changes = std::move(changes);
    t.plan.nothingHeld = nothing;
    return t;
  };
  SendPlan plan;
  plan.terminals = {terminal("127.0.0.2", {{101, false, {}}, {103, true, {}}}),
                    terminal("127.0.0.3", {{101, false, {}}, {102, true, {}}}),
                    terminal("127.0.0.4", {{101, false, {}}, {103, false, {}}}),
                    terminal("127.0.0.5", {{102, true, {}}}, true)};
  const std::map<int64_t, QString> marks = HeldMarksOf(plan);
  const std::map<int64_t, QString> expected = {
      {101, "Held otherwise by 127.0.0.2, 127.0.0.3, 127.0.0.4"},
      {102, "Not held by 127.0.0.3"},
      {103, "Held otherwise by 127.0.0.4\nNot held by 127.0.0.2"}};
  EXPECT_EQ(marks, expected);

  Opened opened;
  opened.model.SetHeldMarks({{102, "Not held by 127.0.0.3"}});
  const int number = 1;  // the PLU number's column
  for (int row = 0; row < opened.model.rowCount(); ++row) {
    const bool marked = opened.Cell(row, number) == "102";
    EXPECT_EQ(opened.model.HeldMarked(row), marked) << row;
    const QModelIndex cell = opened.model.index(row, number);
    EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), marked ? "Not held by 127.0.0.3" : "");
    EXPECT_EQ(cell.data(Qt::FontRole).value<QFont>().bold(), marked) << row;
    // The mark is the number's alone.
    EXPECT_FALSE(opened.model.index(row, 3).data(Qt::ToolTipRole).isValid()) << row;
  }
}

}  // namespace
