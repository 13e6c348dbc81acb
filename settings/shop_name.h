// The shop's name ("Market Street"), kept in the settings file's Shop
// section under Name, so that the records of a run say which shop of a
// chain they come from. The section is the name's own: no byte of any other
// section is read for it or changed by it.
#pragma once

#include <string>

class SettingsFile;

inline constexpr const char* kShopSection = "Shop";
inline constexpr const char* kShopNameKey = "Name";

// The shop's name; empty when none is set.
std::string ReadShopName(const SettingsFile& file);
