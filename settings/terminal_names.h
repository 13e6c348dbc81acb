// The names the operator gives terminals ("Deli counter"), kept in the
// settings file's TerminalNames section, one key per address. The section is
// the names' own: writing a name changes no byte of any other section.
#pragma once

#include <map>
#include <string>

class SettingsFile;

inline constexpr const char* kTerminalNamesSection = "TerminalNames";

// Every address with a name; a key with an empty value names nothing.
std::map<std::string, std::string> ReadTerminalNames(const SettingsFile& file);
// Names the terminal of `address`; an empty name takes its name away. One
// edit of the file; throws as SettingsFile::WriteString does.
void WriteTerminalName(SettingsFile& file, const std::string& address, const std::string& name);
