// The terminals' names in a section of their own: each edit reads back as
// made, and the bytes before the section, the Terminal section's, stay
// exactly as they were.
#include "settings/terminal_names.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/terminal_settings.h"
#include "tests/support/temp_folder.h"

namespace {

// A Terminal section as an old Orlent left it: CR LF, a blank around "=", a comment.
const std::string kTerminalSection =
    "[Terminal]\r\nTerminalPort=20404\r\nTerminalNums = 2\r\n; the deli\r\n"
    "TerminalIP_1=127.0.0.2\r\nTerminalChecked_1=1\r\n"
    "TerminalIP_2=127.0.0.3\r\nTerminalChecked_2=0\r\n";

}  // namespace

TEST(TerminalNames, EachNamingReadsBackAndLeavesTheTerminalSectionsBytes) {
  using Names = std::map<std::string, std::string>;
  const struct {
    const char* address;
    const char* name;
    Names names;  // after the edit
  } edits[] = {
      {"127.0.0.2", "Deli counter", {{"127.0.0.2", "Deli counter"}}},
      {"127.0.0.3", "Bakery", {{"127.0.0.2", "Deli counter"}, {"127.0.0.3", "Bakery"}}},
      {"127.0.0.2", "Deli, left", {{"127.0.0.2", "Deli, left"}, {"127.0.0.3", "Bakery"}}},
      {"127.0.0.3", "", {{"127.0.0.2", "Deli, left"}}},
  };
  TempFolder folder;
  folder.Write("Orlent.ini", kTerminalSection);
  SettingsFile file(folder.File("Orlent.ini"));
  for (const auto& e : edits) {
    SCOPED_TRACE(std::string(e.address) + " " + e.name);
    WriteTerminalName(file, e.address, e.name);
    EXPECT_EQ(ReadTerminalNames(file), e.names);
    const std::string bytes = folder.Read("Orlent.ini");
    EXPECT_EQ(bytes.substr(0, kTerminalSection.size()), kTerminalSection);
    EXPECT_NE(bytes.find("[TerminalNames]"), std::string::npos);
  }
  // The list loads as it did.
  const TerminalSettings loaded = LoadTerminalSettings(file);
  ASSERT_EQ(loaded.entries.size(), 2u);
  EXPECT_EQ(loaded.entries[1].address, "127.0.0.3");

  // A line break would make lines of its own: refused, the file as it was.
  const std::string before = folder.Read("Orlent.ini");
  EXPECT_THROW(WriteTerminalName(file, "127.0.0.2", "Deli\r\n[Terminal]"), std::invalid_argument);
  EXPECT_EQ(folder.Read("Orlent.ini"), before);
}
