#include "settings/terminal_names.h"

#include "settings/settings_file.h"

std::map<std::string, std::string> ReadTerminalNames(const SettingsFile& file) {
  std::map<std::string, std::string> names;
  file.ReadSectionValues(kTerminalNamesSection,
                         [&](std::string_view address, std::string_view name) {
                           if (name.empty()) {
                             names.erase(std::string(address));
                           } else {
                             names[std::string(address)] = std::string(name);
                           }
                         });
  return names;
}

void WriteTerminalName(SettingsFile& file, const std::string& address, const std::string& name) {
  file.WriteString(kTerminalNamesSection, address, name);
}
