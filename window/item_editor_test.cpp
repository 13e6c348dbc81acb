// "File › Items…" in the window: the send file opens in the item editor,
// an edit is saved into it, a file with faults is saved only past the
// warning, and "Save and Send…" hands the file to the Send dialog.
#include "window/item_editor.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <fstream>
#include <iterator>
#include <string>

#include "window/send_dialog.h"
#include "window/window_fixture.h"

namespace {

const std::string kTwoPlu =
    "; week 12\r\n1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n1\t2\t0\tPear\t200\t0\t0\t0\t0\r\n";

ItemEditor* OpenEditor(WindowFixture& w) {
  w.window->Menu().ItemsItem->trigger();
  ProcessEvents();
  return w.window->findChild<ItemEditor*>("ItemEditor");
}

// The send file of the kind chosen, where the editor finds it.
void WriteSendFile(WindowFixture& w, const std::string& bytes) {
  std::ofstream(w.Model().DownloadFilePath(), std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers a message box with `button` where it has one.
std::function<void(QWidget*)> Pressing(QMessageBox::StandardButton button) {
  return [button](QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    if (message && message->button(button)) message->button(button)->click();
  };
}

TEST(WindowItemEditor, OpensTheSendFileFromTheMenuAndSavesAnEdit) {
  WindowFixture w;
  WriteSendFile(w, kTwoPlu);
  EXPECT_EQ(w.window->Menu().ItemsItem->shortcut(), QKeySequence("Ctrl+E"));
  ItemEditor* editor = OpenEditor(w);
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->windowTitle().startsWith("Items \u2013 PLU-Down"));
  EXPECT_EQ(editor->Counts->text(), "2 rows, 0 faults");
  // The search keeps the rows that hold it; a click on a header sorts.
  editor->SearchBox->setText("pea");
  EXPECT_EQ(editor->Sorted->rowCount(), 1);
  editor->SearchBox->clear();
  editor->Table->sortByColumn(4, Qt::DescendingOrder);
  EXPECT_EQ(editor->Sorted->index(0, 3).data().toString(), "Pear");
  ASSERT_TRUE(editor->Sorted->setData(editor->Sorted->index(0, 4), "2.49"));
  EXPECT_TRUE(editor->windowTitle().endsWith(" *"));
  editor->SaveItem->trigger();
  EXPECT_EQ(ReadFile(w.Model().DownloadFilePath()),
            "; week 12\r\n1\t1\t0\tApple\t100\t0\t0\t0\t0\r\n1\t2\t0\tPear\t249\t0\t0\t0\t0\r\n");
  editor->UndoItem->trigger();
  EXPECT_EQ(editor->Model().data(editor->Model().index(1, 4), Qt::DisplayRole), "2.00");
  editor->RedoItem->trigger();
  EXPECT_EQ(editor->Model().data(editor->Model().index(1, 4), Qt::DisplayRole), "2.49");
  EXPECT_TRUE(editor->Save());
  editor->close();
}

TEST(WindowItemEditor, SavesAFileWithFaultsOnlyPastTheWarning) {
  WindowFixture w;
  WriteSendFile(w, kTwoPlu);
  ItemEditor* editor = OpenEditor(w);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->Model().setData(editor->Model().index(0, 4), "1,50", Qt::EditRole));
  EXPECT_EQ(editor->Counts->text(), "2 rows, 1 fault");
  {
    ModalAnswerer cancel;  // answers the warning with Cancel
    EXPECT_FALSE(editor->Save());
    ASSERT_EQ(cancel.boxes.size(), 1u);
    EXPECT_TRUE(cancel.boxes[0].text.contains("a send refuses it"));
  }
  EXPECT_EQ(ReadFile(w.Model().DownloadFilePath()), kTwoPlu);
  ModalAnswerer save;
  save.beforeAnswer = Pressing(QMessageBox::Save);
  EXPECT_TRUE(editor->Save());
  EXPECT_NE(ReadFile(w.Model().DownloadFilePath()).find("Apple\t1,50\t"), std::string::npos);
  editor->close();
}

TEST(WindowItemEditor, SaveAndSendOpensTheSendDialogForTheKindAndFile) {
  WindowFixture w;
  w.Model().HandleEvent([&] { w.Model().ChooseDataKind(DataKind::Barcode); });
  WriteSendFile(w, "1\t1\t0\tApples\t2000001\r\n");
  ItemEditor* editor = OpenEditor(w);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Model().columnCount(), 5);
  QString kind, file;
  ModalAnswerer answer;
  answer.beforeAnswer = [&](QWidget* box) {
    if (auto* dialog = qobject_cast<SendDialog*>(box)) {
      kind = dialog->KindBox->currentText();
      file = dialog->FileBox->text();
    }
  };
  editor->SaveAndSendItem->trigger();
  EXPECT_EQ(kind, "Barcode records");
  EXPECT_EQ(file.toStdString(), w.Model().DownloadFilePath());
  editor->close();
}

}  // namespace
