// The settings file read once and written once: the batched save gives the
// bytes the key-by-key writes gave, and files with a byte order mark, CR-only
// line ends or a second [Terminal] section load and save whole.
#include "settings/settings_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/terminal_settings.h"
#include "tests/support/temp_folder.h"

using Lines = std::vector<std::string>;

namespace {

using Entry = TerminalEntry;

Lines Addresses(const TerminalSettings& settings) {
  Lines addresses;
  for (const auto& entry : settings.entries) addresses.push_back(entry.address);
  return addresses;
}

// The save's writes in its order, each one its own read and replacement of
// the file: how the settings file was written before edits were batched.
void SaveKeyByKey(SettingsFile& ini, const std::string& port, const std::vector<Entry>& entries) {
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
      TempFolder reference;
      reference.Write("Orlent.ini", start);
      SettingsFile ini(reference.File("Orlent.ini"));
      SaveKeyByKey(ini, port, entries);

      TempFolder folder;
      folder.Write("Orlent.ini", start);
      SettingsFile file(folder.File("Orlent.ini"));
      SaveTerminalSettings(file, {port, entries, {}, {}, {}, {}});
      EXPECT_EQ(folder.Read("Orlent.ini"), reference.Read("Orlent.ini"))
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
    TempFolder folder;
    folder.Write("Orlent.ini", bytes);
    SettingsFile file(folder.File("Orlent.ini"));
    const TerminalSettings loaded = LoadTerminalSettings(file);
    const SettingsFile ini(folder.File("Orlent.ini"));
    EXPECT_EQ(loaded.port, ini.ReadString("Terminal", "TerminalPort", "20404")) << bytes;
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
    ASSERT_EQ(loaded.entries.size(), byName.size()) << bytes;
    for (std::size_t i = 0; i < loaded.entries.size(); ++i) {
      EXPECT_EQ(loaded.entries[i].address, byName[i].address) << bytes;
      EXPECT_EQ(loaded.entries[i].ticked, byName[i].ticked) << bytes;
    }
  }
}

TEST(SettingsEdit, UncommittedEditChangesNothingAndReadsItsOwnWrites) {
  TempFolder folder;
  const std::string before = "[Terminal]\r\nTerminalPort=1\r\n";
  folder.Write("Orlent.ini", before);
  SettingsFile ini(folder.File("Orlent.ini"));
  {
    SettingsEdit edit(ini, SettingsEdit::Purpose::Change);
    ini.WriteString("Terminal", "TerminalPort", "2");
    EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", ""), "2");
    EXPECT_EQ(folder.Read("Orlent.ini"), before);
  }
  EXPECT_EQ(ini.ReadString("Terminal", "TerminalPort", ""), "1");
  EXPECT_EQ(folder.Read("Orlent.ini"), before);
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
    TempFolder folder;
    folder.Write("Orlent.ini", c.file);
    SettingsFile file(folder.File("Orlent.ini"));
    const TerminalSettings loaded = LoadTerminalSettings(file);
    EXPECT_EQ(Addresses(loaded), c.addresses) << c.file;
    EXPECT_EQ(loaded.port, c.port) << c.file;
    // The save at close keeps them and never fails on what was loaded.
    EXPECT_NO_THROW(SaveTerminalSettings(file, loaded)) << c.file;
    EXPECT_EQ(Addresses(LoadTerminalSettings(file)), c.addresses) << c.file;
  }
}
