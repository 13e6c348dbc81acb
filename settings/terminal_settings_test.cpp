// The terminal list and the port as the settings file stores them: counts
// that are missing, damaged or far too large, entries without an address; the
// send cycle's options, the character set and the send file absent, valid,
// out of range or not a number, with the bytes a save leaves.
#include "settings/terminal_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/support/temp_folder.h"

using Lines = std::vector<std::string>;

namespace {

struct TerminalSettingsTest : ::testing::Test {
  TempFolder folder;
  SettingsFile file{folder.File("Orlent.ini")};

  TerminalSettings Load(const std::string& bytes) {
    folder.Write("Orlent.ini", bytes);
    return LoadTerminalSettings(file);
  }
  static Lines Addresses(const TerminalSettings& settings) {
    Lines addresses;
    for (const auto& entry : settings.entries) addresses.push_back(entry.address);
    return addresses;
  }
  static Lines Messages(const TerminalSettings& settings) {
    Lines messages;
    for (const auto& setAside : settings.setAside) messages.push_back(setAside.Message());
    return messages;
  }
  static std::vector<bool> Ticks(const TerminalSettings& settings) {
    std::vector<bool> ticks;
    for (const auto& entry : settings.entries) ticks.push_back(entry.ticked);
    return ticks;
  }
  std::string Value(const std::string& key) const {
    return SettingsFile(folder.File("Orlent.ini")).ReadString("Terminal", key, "<missing>");
  }
};

}  // namespace

TEST_F(TerminalSettingsTest, CountThatIsMissingOrNotPositiveGivesAnEmptyList) {
  for (const char* count : {"", "TerminalNums=0\r\n", "TerminalNums=-2\r\n", "TerminalNums=two\r\n",
                            "TerminalNums=\r\n"}) {
    const TerminalSettings loaded =
        Load(std::string("[Terminal]\r\n") + count + "TerminalIP_1=127.0.0.2\r\n");
    EXPECT_TRUE(loaded.entries.empty()) << count;
    EXPECT_EQ(loaded.port, "20404");
  }
}

TEST_F(TerminalSettingsTest, EntryWithoutAddressLoadsEmptyAndTheSaveClosesTheGap) {
  const TerminalSettings loaded = Load(
      "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=3\r\n"
      "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
      "TerminalChecked_2=0\r\n"
      "TerminalIP_3=127.0.0.4\r\nTerminalChecked_3=1\r\n");
  EXPECT_EQ(Addresses(loaded), (Lines{"127.0.0.2", "", "127.0.0.4"}));
  EXPECT_EQ(Ticks(loaded), (std::vector<bool>{true, false, true}));

  SaveTerminalSettings(file, loaded);
  EXPECT_EQ(Value("TerminalNums"), "2");
  EXPECT_EQ(Value("TerminalIP_2"), "127.0.0.4");
  EXPECT_EQ(Value("TerminalChecked_2"), "1");
  EXPECT_EQ(Value("TerminalIP_3"), "127.0.0.4");  // left over, never read again
  EXPECT_EQ(Addresses(LoadTerminalSettings(file)), (Lines{"127.0.0.2", "127.0.0.4"}));
}

TEST_F(TerminalSettingsTest, DamagedHugeCountLoadsOnlyTheEntriesTheFileHolds) {
  const TerminalSettings loaded = Load(
      "[Terminal]\r\nTerminalNums=2000000000\r\n"
      "TerminalIP_1=127.0.0.2\r\nterminalchecked_2=1\r\nTerminalIP_07=x\r\n");
  EXPECT_EQ(Addresses(loaded), (Lines{"127.0.0.2", ""}));
  EXPECT_EQ(Ticks(loaded), (std::vector<bool>{false, true}));
}

namespace {

const std::string kOneEntry =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums=1\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n";

const std::string kDefaultsWritten =
    "TerminalParallel=1\r\nTerminalPause=3000\r\nTerminalAnswerTimeout=10000\r\n";

struct OptionsCase {
  const char* name;
  std::string options;  // the keys after the list
  CycleOptions loaded;
  std::string sendFile;
  Lines faults;       // "<path>" stands for the file's path
  std::string saved;  // the keys after the list once what was loaded is saved
};

}  // namespace

TEST_F(TerminalSettingsTest, OptionsAndSendFileLoadAndSaveBackAsTheFileGivesThem) {
  const OptionsCase cases[] = {
      {"absent", "", {1, 3000, 10000}, "", {}, ""},
      {"valid",
       "TerminalParallel=8\r\nTerminalPause=0\r\nTerminalAnswerTimeout=3600000\r\n"
       "SendFile=/srv/prices/week 12.txt\r\n",
       {8, 0, 3600000},
       "/srv/prices/week 12.txt",
       {},
       "TerminalParallel=8\r\nTerminalPause=0\r\nTerminalAnswerTimeout=3600000\r\n"
       "SendFile=/srv/prices/week 12.txt\r\n"},
      {"any case, hexadecimal, empty file name",
       "terminalparallel=$10\r\nSENDFILE=\r\n",
       {16, 3000, 10000},
       "",
       {},
       "terminalparallel=$10\r\nSENDFILE=\r\n"},
      {"out of range",
       "TerminalParallel=65\r\nTerminalPause=-1\r\nTerminalAnswerTimeout=0\r\n",
       {1, 3000, 10000},
       "",
       {"TerminalParallel '65' in <path> is not a number from 1 to 64: 1 is used",
        "TerminalPause '-1' in <path> is not a number from 0 to 600000: 3000 is used",
        "TerminalAnswerTimeout '0' in <path> is not a number from 1 to 3600000: 10000 is used"},
       kDefaultsWritten},
      {"not a number",
       "TerminalParallel=four\r\nTerminalPause=\r\nTerminalAnswerTimeout=10s\r\n",
       {1, 3000, 10000},
       "",
       {"TerminalParallel 'four' in <path> is not a number from 1 to 64: 1 is used",
        "TerminalPause '' in <path> is not a number from 0 to 600000: 3000 is used",
        "TerminalAnswerTimeout '10s' in <path> is not a number from 1 to 3600000: 10000 is used"},
       kDefaultsWritten},
  };
  for (const OptionsCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TerminalSettings loaded = Load(kOneEntry + c.options);
    EXPECT_EQ(loaded.cycle.parallel, c.loaded.parallel);
    EXPECT_EQ(loaded.cycle.pauseMs, c.loaded.pauseMs);
    EXPECT_EQ(loaded.cycle.answerTimeoutMs, c.loaded.answerTimeoutMs);
    EXPECT_EQ(loaded.sendFile, c.sendFile);
    Lines faults;
    for (std::string fault : c.faults) {
      faults.push_back(fault.replace(fault.find("<path>"), 6, file.FileName()));
    }
    EXPECT_EQ(Messages(loaded), faults);

    // Kept: a value that cannot be taken stays as it is, to be found again.
    SaveTerminalSettings(file, loaded, SetAside::Kept);
    EXPECT_EQ(folder.Read("Orlent.ini"), kOneEntry + c.options);
    EXPECT_EQ(Messages(LoadTerminalSettings(file)), faults);
    SaveTerminalSettings(file, loaded);
    EXPECT_EQ(folder.Read("Orlent.ini"), kOneEntry + c.saved);
    EXPECT_TRUE(LoadTerminalSettings(file).setAside.empty());
  }
}

TEST_F(TerminalSettingsTest, ChangedOptionsAreWrittenInPlaceOrAfterTheList) {
  struct Change {
    const char* name;
    std::string options;  // the keys after the list before the save
    CycleOptions saved;
    std::string sendFile;
    std::string after;  // the keys after the list after it
  };
  const Change changes[] = {
      {"added after the list",
       "",
       {4, 500, 2000},
       "/x/a.txt",
       "TerminalParallel=4\r\nTerminalPause=500\r\nTerminalAnswerTimeout=2000\r\n"
       "SendFile=/x/a.txt\r\n"},
      {"one changed, the rest absent", "", {2, 3000, 10000}, "", "TerminalParallel=2\r\n"},
      {"set back to the defaults in place",
       "SendFile=/x/a.txt\r\nTerminalPause=500\r\nTerminalParallel=4\r\n",
       {1, 3000, 10000},
       "",
       "SendFile=\r\nTerminalPause=3000\r\nTerminalParallel=1\r\n"},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.name);
    TerminalSettings settings = Load(kOneEntry + c.options);
    settings.cycle = c.saved;
    settings.sendFile = c.sendFile;
    SaveTerminalSettings(file, settings);
    EXPECT_EQ(folder.Read("Orlent.ini"), kOneEntry + c.after);
  }
}

TEST_F(TerminalSettingsTest, TheCodePageLoadsAnUnknownNameIsToldOnceAndAChangeIsWritten) {
  const struct {
    const char* key;      // the line after the list; empty: none
    const char* loaded;   // the name in force
    bool fault;           // an unknown name is told and the default written back
    const char* changed;  // then saved with this set
    const char* after;    // the line after the list then
  } cases[] = {
      {"", "windows-1252", false, "windows-1252", ""},
      {"", "windows-1252", false, "ISO-8859-2", "TerminalCodePage=ISO-8859-2\r\n"},
      {"terminalcodepage=cp437\r\n", "cp437", false, "cp437", "terminalcodepage=cp437\r\n"},
      {"TerminalCodePage=none\r\n", "none", false, "windows-1252",
       "TerminalCodePage=windows-1252\r\n"},
      {"TerminalCodePage=klingon\r\n", "windows-1252", true, "windows-1252",
       "TerminalCodePage=windows-1252\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.changed);
    TerminalSettings settings = Load(kOneEntry + c.key);
    EXPECT_EQ(settings.codePage.Name(), c.loaded);
    const Lines faults = {"TerminalCodePage 'klingon' in " + file.FileName() +
                          " is not a character set the system converts: windows-1252 is used"};
    EXPECT_EQ(Messages(settings), c.fault ? faults : Lines{});
    SaveTerminalSettings(file, settings, SetAside::Kept);
    EXPECT_EQ(folder.Read("Orlent.ini"), kOneEntry + c.key);
    settings.codePage = *CodePage::Named(c.changed);
    SaveTerminalSettings(file, settings);
    EXPECT_EQ(folder.Read("Orlent.ini"), kOneEntry + c.after);
  }
}
