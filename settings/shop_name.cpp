#include "settings/shop_name.h"

#include "settings/settings_file.h"

std::string ReadShopName(const SettingsFile& file) {
  return file.ReadString(kShopSection, kShopNameKey, "");
}
