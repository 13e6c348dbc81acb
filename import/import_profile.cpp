#include "import/import_profile.h"

#include <algorithm>

#include "settings/atomic_file.h"
#include "settings/ini_text.h"
#include "text/code_page.h"
#include "text/str_to_int.h"

namespace {

constexpr std::string_view kColumnKey = "Column.";
constexpr std::string_view kConstantKey = "Constant.";

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         Lower(std::string(text.substr(0, prefix.size()))) == Lower(std::string(prefix));
}

const KindColumn* ColumnNamed(const RecordKind& kind, std::string_view name) {
  for (const KindColumn& column : kind.columns) {
    if (Lower(column.name) == Lower(std::string(name))) return &column;
  }
  return nullptr;
}

// A profile's one key that is wrong, by its name and value.
struct ProfileFault {
  std::string message;
};

// The delimiter a profile names; nothing for auto (found from the header line).
std::optional<char> DelimiterNamed(const std::string& name) {
  const std::string lower = Lower(name);
  if (lower == "auto" || lower.empty()) return std::nullopt;
  if (lower == "comma" || lower == ",") return ',';
  if (lower == "semicolon" || lower == ";") return ';';
  if (lower == "tab") return '\t';
  throw ProfileFault{"Delimiter is auto, comma, semicolon or tab"};
}

FieldSource SourceOf(const std::string& value) {
  FieldSource source;
  if (value.starts_with('#')) {
    const auto position = TryStrToInt(value.substr(1));
    if (!position || *position < 1 || value.size() < 2 || value[1] < '0' || value[1] > '9')
      throw ProfileFault{"'" + value + "' is no column position (#1, #2, ...)"};
    source.position = *position;
  } else if (value.empty()) {
    throw ProfileFault{"a column needs a header name or a position (#1, #2, ...)"};
  } else {
    source.header = value;
  }
  return source;
}

// Takes a Column. or Constant. key into `profile`.
void TakeField(ImportProfile& profile, std::string_view key, const std::string& value) {
  const bool constant = StartsWithNoCase(key, kConstantKey);
  const std::string_view name = key.substr((constant ? kConstantKey : kColumnKey).size());
  const KindColumn* column = ColumnNamed(*profile.kind, name);
  if (!column) {
    throw ProfileFault{"the kind " + std::string(profile.kind->name) + " has no field '" +
                       std::string(name) + "'"};
  }
  if (profile.fields.contains(column->name))
    throw ProfileFault{"the field '" + column->name + "' is given twice"};
  profile.fields[column->name] = constant ? FieldSource{{}, 0, value} : SourceOf(value);
}

void TakeMoney(ImportProfile& profile, const std::string& value) {
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t end = std::min(value.find(',', start), value.size());
    std::string name = value.substr(start, end - start);
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    const KindColumn* column = name.empty() ? nullptr : ColumnNamed(*profile.kind, name);
    if (!column || column->type == FieldType::Text)
      throw ProfileFault{"Money names '" + name + "', which is no number field of the kind"};
    profile.money.push_back(column->name);
    start = end + 1;
  }
}

void TakeSettings(ImportProfile& profile, const IniText& ini, const std::string& section) {
  profile.delimiter = DelimiterNamed(ini.Find(section, "Delimiter").value_or("auto"));
  const std::string decimal = Lower(ini.Find(section, "Decimal").value_or("point"));
  if (decimal != "point" && decimal != "comma") throw ProfileFault{"Decimal is comma or point"};
  profile.decimal = decimal == "comma" ? ',' : '.';
  profile.encoding = ini.Find(section, "Encoding").value_or("utf-8");
  if (Lower(profile.encoding) != "utf-8" && !CodePage::Named(profile.encoding))
    throw ProfileFault{UnknownCodePageMessage(profile.encoding)};
  const std::string header = Lower(ini.Find(section, "Header").value_or("yes"));
  if (header != "yes" && header != "no") throw ProfileFault{"Header is yes or no"};
  profile.header = header == "yes";
}

ImportProfile Parse(const IniText& ini, const std::string& section) {
  ImportProfile profile;
  profile.name = section;
  const std::string kind = ini.Find(section, "Kind").value_or("");
  profile.kind = KindNamed(Lower(kind));
  if (!profile.kind || !profile.kind->writable)
    throw ProfileFault{"Kind '" + kind + "' is no kind a download file holds"};
  TakeSettings(profile, ini, section);
  ini.ForEachKey(section, [&](std::string_view key, std::string_view value) {
    if (StartsWithNoCase(key, kColumnKey) || StartsWithNoCase(key, kConstantKey))
      TakeField(profile, key, std::string(value));
  });
  if (const auto money = ini.Find(section, "Money"); money && !money->empty())
    TakeMoney(profile, *money);
  for (const KindColumn& column : profile.kind->columns) {
    if (!profile.fields.contains(column.name))
      throw ProfileFault{"no column or constant gives the field '" + column.name + "'"};
  }
  if (!profile.header) {
    for (const auto& [field, source] : profile.fields) {
      if (!source.header.empty())
        throw ProfileFault{"the field '" + field + "' is named by a header, but Header=no"};
    }
  }
  return profile;
}

}  // namespace

std::vector<std::string> ImportProfileNames(const std::string& bytes) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    line.erase(0, line.find_first_not_of(" \t\xEF\xBB\xBF"));
    const std::size_t close = line.find(']');
    if (line.starts_with('[') && close != std::string::npos)
      names.push_back(line.substr(1, close - 1));
    start = end + 1;
  }
  return names;
}

ImportProfileRead ParseImportProfile(const std::string& bytes, const std::string& name) {
  const std::vector<std::string> names = ImportProfileNames(bytes);
  const auto found = std::find_if(names.begin(), names.end(),
                                  [&](const std::string& n) { return Lower(n) == Lower(name); });
  if (found == names.end()) return {std::nullopt, "there is no import profile '" + name + "'"};
  try {
    return {Parse(IniText(bytes), *found), {}};
  } catch (const ProfileFault& fault) {
    return {std::nullopt, "the import profile '" + *found + "' cannot be used: " + fault.message};
  }
}

ImportProfileRead ReadImportProfile(const std::string& path, const std::string& name) {
  const FileContent content = ReadWholeFile(path);
  if (content.status != ReadStatus::Ok)
    return {std::nullopt, "the import profiles file " + path + " cannot be read"};
  return ParseImportProfile(content.bytes, name);
}
