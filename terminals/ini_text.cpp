#include "terminals/ini_text.h"

#include <string_view>

namespace {

constexpr std::string_view kBlanks = " \t\v\f\r";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsBlank(std::string_view text) {
  return Trim(text).empty();
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// The section name of a "[name]" line.
std::optional<std::string_view> HeaderName(std::string_view text) {
  text = Trim(text);
  if (!text.starts_with('[')) return std::nullopt;
  const auto close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

// The key name of a "name=value" line; comment lines (";") hold no key.
std::optional<std::string_view> KeyName(std::string_view text) {
  text = Trim(text);
  if (text.starts_with(';') || text.starts_with('[')) return std::nullopt;
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const auto name = Trim(text.substr(0, equals));
  if (name.empty()) return std::nullopt;
  return name;
}

std::string_view ValueOf(std::string_view text) {
  auto value = Trim(text.substr(text.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniText::IniText(const std::string& bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto newline = bytes.find('\n', pos);
    if (newline == std::string::npos) {
      lines_.push_back({bytes.substr(pos), ""});
      break;
    }
    const bool crlf = newline > pos && bytes[newline - 1] == '\r';
    const auto textEnd = crlf ? newline - 1 : newline;
    lines_.push_back({bytes.substr(pos, textEnd - pos), crlf ? "\r\n" : "\n"});
    pos = newline + 1;
  }
  // A text without any line end is written on as a new file would be.
  newLine_ = "\r\n";
  for (const auto& line : lines_) {
    if (!line.end.empty()) {
      newLine_ = line.end;
      break;
    }
  }
}

std::vector<std::size_t> IniText::SectionHeaders(const std::string& section) const {
  std::vector<std::size_t> headers;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i].text);
    if (name && SameName(*name, section)) headers.push_back(i);
  }
  return headers;
}

std::size_t IniText::SectionEnd(std::size_t header) const {
  std::size_t end = header + 1;
  while (end < lines_.size() && !HeaderName(lines_[end].text)) ++end;
  return end;
}

std::optional<std::size_t> IniText::FindKeyLine(const std::string& section,
                                                const std::string& key) const {
  for (const auto header : SectionHeaders(section)) {
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      const auto name = KeyName(lines_[i].text);
      if (name && SameName(*name, key)) return i;
    }
  }
  return std::nullopt;
}

std::optional<std::string> IniText::Find(const std::string& section, const std::string& key) const {
  const auto line = FindKeyLine(section, key);
  if (!line) return std::nullopt;
  return std::string(ValueOf(lines_[*line].text));
}

std::vector<std::string> IniText::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  for (const auto header : SectionHeaders(section)) {
    for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      if (const auto name = KeyName(lines_[i].text)) keys.emplace_back(*name);
    }
  }
  return keys;
}

void IniText::Set(const std::string& section, const std::string& key, const std::string& value) {
  if (const auto line = FindKeyLine(section, key)) {
    // Keep the name as the file spells it.
    auto& text = lines_[*line].text;
    text = std::string(*KeyName(text)) + "=" + value;
    return;
  }
  const auto headers = SectionHeaders(section);
  if (headers.empty()) {
    Insert(lines_.size(), "[" + section + "]");
    Insert(lines_.size(), key + "=" + value);
    return;
  }
  // After the section's last non-blank line, so blank lines that separate it
  // from the next section stay where they are.
  const auto header = headers.front();
  auto at = SectionEnd(header);
  while (at > header + 1 && IsBlank(lines_[at - 1].text)) --at;
  Insert(at, key + "=" + value);
}

void IniText::Insert(std::size_t at, std::string text) {
  if (at == lines_.size() && !lines_.empty() && lines_.back().end.empty()) {
    lines_.back().end = newLine_;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newLine_});
}

std::string IniText::Bytes() const {
  std::string bytes;
  for (const auto& line : lines_) bytes += line.text + line.end;
  return bytes;
}
