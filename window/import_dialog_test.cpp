// "File › Import…": the shipped sample export previewed through its profile
// before anything is written, then written with the refused lines skipped.
#include "window/import_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "window/window_fixture.h"

namespace {

const QString kSample = QString(ORLENT_DATA_DIR) + "/Shop-Export.csv";

QString Cell(QTableView* view, int row, int column) {
  return view->model()->index(row, column).data().toString();
}

class ImportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    std::filesystem::copy_file(std::string(ORLENT_DATA_DIR) + "/Import-Profiles.ini",
                               folder.File("Import-Profiles.ini"));
  }
  // Browse… answered with the sample export.
  static std::optional<QString> Sample(QWidget*, const QString&) { return kSample; }
  TempFolder folder;
  CodePage terminalSet;
};

TEST_F(ImportDialogTest, PreviewsTheLinesAsWrittenAndTheRefusedOnesBeforeWriting) {
  ImportDialog dialog(nullptr, folder.path(), terminalSet, Sample);
  ASSERT_EQ(dialog.ProfileBox->count(), 1);
  EXPECT_EQ(dialog.ProfileBox->currentText(), "Shop");
  EXPECT_EQ(dialog.OutBox->text().toStdString(), folder.File("PLU-Down.txt"));
  dialog.BrowseButton->click();

  QTableView* preview = dialog.PreviewView;
  ASSERT_EQ(preview->model()->rowCount(), 6);
  EXPECT_EQ(preview->model()->headerData(4, Qt::Horizontal).toString(), "price");
  // The price as money, as the item editor shows it; the file gets its cents (below).
  const QStringList first = {"1", "101", "1", "Käse Gouda jung", "1.99", "0", "7", "0", "2"};
  for (int column = 0; column < first.size(); ++column)
    EXPECT_EQ(Cell(preview, 0, column), first[column]) << column;
  EXPECT_EQ(Cell(preview, 2, 3), "Äpfel \"Braeburn\", lose");

  QTableView* refused = dialog.RefusedView;
  ASSERT_EQ(refused->model()->rowCount(), 3);
  EXPECT_EQ(Cell(refused, 0, 0), "5");
  EXPECT_EQ(Cell(refused, 0, 1),
            "price: '1,995' has 3 decimals: a price is kept in whole cents and is never rounded");
  EXPECT_EQ(Cell(refused, 0, 2), "104;Crème fraîche;1,995;2;4000001000104");
  EXPECT_EQ(Cell(refused, 2, 0), "9");

  // Nothing can be written while a line is refused.
  QPushButton* import = dialog.ImportButton;
  EXPECT_FALSE(import->isEnabled());
  EXPECT_EQ(dialog.Note->text(),
            "6 lines can be taken, 3 are refused: nothing is written unless the refused lines "
            "are skipped");
  EXPECT_FALSE(std::filesystem::exists(folder.File("PLU-Down.txt")));

  dialog.SkipBadBox->setChecked(true);
  ASSERT_TRUE(import->isEnabled());
  import->click();
  ASSERT_TRUE(dialog.Written());
  EXPECT_EQ(dialog.Written()->records, 6);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_NE(folder.Read("PLU-Down.txt").find("\r\n1\t101\t1\tK\xE4se Gouda jung\t199\t"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder.File("PLU-Down.txt.refused.txt")));
}

TEST_F(ImportDialogTest, OpensFromTheFileMenu) {
  WindowFixture w;
  auto* item = w.window->Menu().FileMenu->findChild<QAction*>("ImportItem");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "&Import…");
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
    seen = dialog != nullptr;
    if (dialog) dialog->reject();
  });
  item->trigger();
  EXPECT_TRUE(seen);
}

}  // namespace
