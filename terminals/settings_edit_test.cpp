// The settings file read once and written once: the batched save gives the
// bytes the key-by-key writes gave, and files with a byte order mark, CR-only
// line ends or a second [Terminal] section load and save whole.
#include "terminals/settings_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "terminals/ini_file.h"
#include "tests/support/form_fixture.h"

using Lines = std::vector<std::string>;

namespace {

struct Entry {
  std::string address;
  bool ticked;
};

// The save's writes in its order, each one its own read and replacement of
// the file: how the settings file was written before edits were batched.
void SaveKeyByKey(TIniFile& ini, const std::string& port, const std::vector<Entry>& entries) {
  ini.WriteString("Terminal", "TerminalPort", port);
  if (ini.ReadInteger("Terminal", "TerminalNums", -1) == -1) {
    ini.WriteInteger("Terminal", "TerminalNums", 0);
  }
  int written = 0;
  for (const auto& entry : entries) {
    if (entry.address.empty()) continue;
    ++written;
    ini.WriteString("Terminal", "TerminalIP_" + std::to_string(written), entry.address);
    ini.WriteBool("Terminal", "TerminalChecked_" + std::to_string(written), entry.ticked);
  }
  ini.WriteInteger("Terminal", "TerminalNums", written);
}

const char* const kStartingFiles[] = {
    "",
    "[Terminal]",
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=3\r\nTerminalIP_1=a\r\nTerminalChecked_1="
    "1\r\n"
    "TerminalIP_2=b\r\nTerminalChecked_2=0\r\nTerminalIP_3=c\r\nTerminalChecked_3=1\r\n",
    "; shop\n[Other]\nx=1\n\n[terminal]\nterminalport = 1 \nUnknown=kept\n\n\n[Last]\ny=2",
    "\xEF\xBB\xBF[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=a\r\n",
    "[Terminal]\rTerminalPort=1\rTerminalNums=9\rTerminalIP_9=z\r",
    "[Terminal]\r\nTerminalNums=1\r\n[Terminal]\r\nTerminalIP_1=second\r\nTerminalIP_2=x\r\n",
    "[Other]\r\na=1",
    "TerminalPort=outside\n[Terminal]\n;TerminalNums=5\nTerminalNums=two\n  \n",
    "[Terminal]\r\nTerminalIP_1=\"quoted\"\r\nTerminalChecked_1=$1\r\nTerminalNums=0x1\r\n",
};

}  // namespace

TEST(SettingsEdit, BatchedSaveGivesTheBytesOfTheKeyByKeyWrites) {
  const std::vector<std::pair<std::string, std::vector<Entry>>> lists = {
      {"20404", {}},
      {"", {{"127.0.0.2", true}}},
      {"20405", {{"127.0.0.2", false}, {"", true}, {"127.0.0.4", true}}},
      {"1", {{"a", true}, {"b", false}, {"c", true}, {"d", false}, {"e", true}}},
  };
  for (const char* start : kStartingFiles) {
    for (const auto& [port, entries] : lists) {
      FormFixture reference(false);
      reference.folder.Write("Orlent.ini", start);
      TIniFile ini(reference.folder.File("Orlent.ini"));
      SaveKeyByKey(ini, port, entries);

      FormFixture f(false);
      f.folder.Write("Orlent.ini", start);
      f.form->FormCreate();
      f.form->Edit2.Text = port;
      f.form->CheckListBox1.Items.clear();
      for (const auto& entry : entries)
        f.form->CheckListBox1.Items.push_back({entry.address, entry.ticked});
      f.form->SaveTerminalSettings();
      EXPECT_EQ(f.folder.Read("Orlent.ini"), reference.folder.Read("Orlent.ini"))
          << "starting file: " << start << "\nentries: " << entries.size();
    }
  }
}

TEST(SettingsEdit, OneWalkLoadGivesWhatReadsByNameGive) {
  std::vector<std::string> files(std::begin(kStartingFiles), std::end(kStartingFiles));
  files.push_back(
      "[Terminal]\nterminalnums=$4\nTerminalNums=1\nTERMINALIP_2=b\nTerminalIP_2=dup\n"
      "TerminalIP_02=zero\nTerminalChecked_4=x\nTerminalChecked_4=1\nTerminalIP_1=a\n"
      "TerminalChecked_1=-1\nTerminalIP_3=" +
      std::string(3000, 'l') + "\nTerminalPort=\nTerminalPort=2\n");
  for (const auto& bytes : files) {
    FormFixture f(false);
    f.folder.Write("Orlent.ini", bytes);
    f.form->FormCreate();
    const TIniFile ini(f.folder.File("Orlent.ini"));
    EXPECT_EQ(f.form->Edit2.Text, ini.ReadString("Terminal", "TerminalPort", "20404")) << bytes;
    std::vector<Entry> byName;
    const int count = ini.ReadInteger("Terminal", "TerminalNums", 0);
    for (int n = 1; n <= std::min(count, 100); ++n) {
      const std::string address = "TerminalIP_" + std::to_string(n);
      const std::string tick = "TerminalChecked_" + std::to_string(n);
      const bool held = ini.ReadString("Terminal", address, "\x01") != "\x01" ||
                        ini.ReadString("Terminal", tick, "\x01") != "\x01";
      if (held) {
        byName.push_back(
            {ini.ReadString("Terminal", address, ""), ini.ReadBool("Terminal", tick, false)});
      }
    }
    const auto& loaded = f.form->CheckListBox1.Items;
    ASSERT_EQ(loaded.size(), byName.size()) << bytes;
    for (std::size_t i = 0; i < loaded.size(); ++i) {
      EXPECT_EQ(loaded[i].Text, byName[i].address) << bytes;
      EXPECT_EQ(loaded[i].Checked, byName[i].ticked) << bytes;
    }
  }
}

TEST(SettingsEdit, UncommittedEditChangesNothingAndReadsItsOwnWrites) {
  FormFixture f(false);
  const std::string before = "[Terminal]\r\nTerminalPort=1\r\n";
  f.folder.Write("Orlent.ini", before);
  TIniFile ini(f.folder.File("Orlent.ini"));
  {
    SettingsEdit edit(ini, SettingsEdit::Purpose::Change);
    ini.WriteString("Terminal", "TerminalPort", "2");
    EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", ""), "2");
    EXPECT_EQ(f.folder.Read("Orlent.ini"), before);
  }
  EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", ""), "1");
  EXPECT_EQ(f.folder.Read("Orlent.ini"), before);
}

TEST(SettingsEdit, ReadableFilesOfEveryShapeLoadTheirList) {
  struct Case {
    const char* file;
    const char* port;
    Lines addresses;
  };
  const Case cases[] = {
      {"\xEF\xBB\xBF[Terminal]\r\nTerminalPort=1\r\nTerminalNums=1\r\nTerminalIP_1=a\r\n",
       "1",
       {"a"}},
      {"[Terminal]\rTerminalPort=2\rTerminalNums=2\rTerminalIP_1=a\rTerminalIP_2=b\r",
       "2",
       {"a", "b"}},
      {"[Terminal]\nTerminalNums=1\nTerminalIP_1=a\n[Terminal]\nTerminalNums=3\nTerminalIP_2=b\n",
       "20404",
       {"a"}},
      // A lone CR ends its line, so no value that is read can hold one.
      {"[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=a\rTerminalPort=3\r\n", "3", {"a"}},
      {"[Terminal]\r\nTerminalNums=2000000000\r\nTerminalIP_2000000000=far\r\n", "20404", {"far"}},
  };
  for (const auto& c : cases) {
    FormFixture f(false);
    f.folder.Write("Orlent.ini", c.file);
    f.form->FormCreate();
    Lines addresses;
    for (const auto& entry : f.form->CheckListBox1.Items) addresses.push_back(entry.Text);
    EXPECT_EQ(addresses, c.addresses) << c.file;
    EXPECT_EQ(f.form->Edit2.Text, c.port) << c.file;
    // The save at close keeps them and never fails on what was loaded.
    f.form->HandleEvent([&] { f.form->FormClose(); });
    EXPECT_TRUE(f.view.failures.empty()) << c.file;
    f.form->FormCreate();
    Lines again;
    for (const auto& entry : f.form->CheckListBox1.Items) again.push_back(entry.Text);
    EXPECT_EQ(again, c.addresses) << c.file;
  }
}

TEST(SettingsEdit, ControlCharactersInAnAddressAreRefusedAtTheEdit) {
  for (const char* address : {"127.0.0.9\r", "a\nb", "a\tb", "\x1b[0m", "x\x7f"}) {
    FormFixture f(false);
    const std::string before = "[Terminal]\r\nTerminalNums=1\r\nTerminalIP_1=a\r\n";
    f.folder.Write("Orlent.ini", before);
    f.form->FormCreate();
    f.form->Edit7.Text = address;
    f.form->BBtnAddClick();
    f.form->CheckListBox1.ItemIndex = 0;
    f.form->Edit7.Text = address;
    f.form->BBtnEditClick();
    EXPECT_EQ(f.view.errors, Lines(2, "The IP address must not hold control characters !"));
    EXPECT_EQ(f.folder.Read("Orlent.ini"), before);
    EXPECT_EQ(f.form->CheckListBox1.Items.size(), 1u);
  }
}
