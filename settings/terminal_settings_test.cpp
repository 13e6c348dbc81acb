// The terminal list and the port as the settings file stores them: counts
// that are missing, damaged or far too large, and entries without an address.
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
