// An import profile: how one shop system's export becomes a download file of
// one kind. Profiles are kept by name as the sections of Import-Profiles.ini
// in the program folder, read with the settings file's INI rules:
//
//   [Shop]
//   Kind=plu
//   Delimiter=semicolon
//   Decimal=comma
//   Encoding=windows-1252
//   Header=yes
//   Money=price
//   Column.PLU no=PLU
//   Column.name=#2
//   Constant.dept=1
//
// Kind is a kind a download file holds; Delimiter auto (found from the first
// line), comma, semicolon or tab; Decimal comma or point (for the money
// fields); Encoding utf-8 (a byte order mark allowed) or a set iconv knows;
// Header yes when the export begins with a header line; Money the fields
// given in currency, turned into whole cents. Each field of the kind (the
// columns of the table of record kinds) comes from the export's column of a
// header name, or at a position "#N" from 1, or is a constant.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "records/record_kinds.h"

inline constexpr const char* kImportProfilesFile = "Import-Profiles.ini";

// Where a field's value comes from: an export column by header name or by
// position, or a constant.
struct FieldSource {
  std::string header;    // the header name; empty when by position or constant
  int position = 0;      // from 1; 0 when by header name or constant
  std::string constant;  // used when neither header nor position is given
};

struct ImportProfile {
  std::string name;
  const RecordKind* kind = nullptr;
  std::optional<char> delimiter;  // nothing: detected from the header line
  char decimal = '.';
  std::string encoding = "utf-8";
  bool header = true;
  std::map<std::string, FieldSource> fields;  // by the kind's column name
  std::vector<std::string> money;             // column names turned into cents
};

struct ImportProfileRead {
  std::optional<ImportProfile> profile;
  std::string error;  // why there is none
};

// The profile names that `bytes` of a profiles file holds, in file order.
std::vector<std::string> ImportProfileNames(const std::string& bytes);
// The profile `name` (in any case) from `bytes` of a profiles file, checked:
// a known kind, each of its fields given once by a column or a constant.
ImportProfileRead ParseImportProfile(const std::string& bytes, const std::string& name);
// The profile `name` from the profiles file at `path`.
ImportProfileRead ReadImportProfile(const std::string& path, const std::string& name);
