// The shop's name is read from its own section only.
#include "settings/shop_name.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/settings_file.h"
#include "tests/support/temp_folder.h"

TEST(ShopName, IsReadFromTheShopSectionOnly) {
  const struct {
    const char* ini;
    const char* name;
  } files[] = {
      {"[Terminal]\r\nTerminalNums=0\r\n", ""},
      {"[Terminal]\r\nName=Deli\r\n", ""},
      {"[Terminal]\r\nTerminalNums=0\r\n[Shop]\r\nName=Market Street\r\n", "Market Street"},
      {"[shop]\nname = \"Corner, north\"\n", "Corner, north"},
      {"[Shop]\r\nName=\r\n", ""},
  };
  TempFolder folder;
  for (const auto& f : files) {
    SCOPED_TRACE(f.ini);
    folder.Write("Orlent.ini", f.ini);
    EXPECT_EQ(ReadShopName(SettingsFile(folder.File("Orlent.ini"))), f.name);
  }
}
