#include "settings/ini_text.h"

#include <string_view>

namespace {

constexpr std::string_view kBlanks = " \t\v\f\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsBlank(std::string_view text) {
  return Trim(text).empty();
}

// Names are matched by their ASCII lower-case program.
std::string Lower(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
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

// Length of the line end at `at`: CR LF, LF or a lone CR.
std::size_t LineEndLength(const std::string& bytes, std::size_t at) {
  return bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
}

}  // namespace

IniText::IniText(const std::string& bytes) {
  std::size_t pos = 0;
  if (std::string_view(bytes).starts_with(kByteOrderMark)) {
    byteOrderMark_ = kByteOrderMark;
    pos = kByteOrderMark.size();
  }
  blocks_.emplace_back();
  while (pos < bytes.size()) {
    const auto stop = bytes.find_first_of("\r\n", pos);
    if (stop == std::string::npos) {
      AddLine(bytes.substr(pos), "");
      break;
    }
    const auto endLength = LineEndLength(bytes, stop);
    AddLine(bytes.substr(pos, stop - pos), bytes.substr(stop, endLength));
    pos = stop + endLength;
  }
  // A text without any line end is written on as a new file would be.
  newLine_ = "\r\n";
  for (const auto& block : blocks_) {
    for (const auto& line : block.lines) {
      if (!line.end.empty()) {
        newLine_ = line.end;
        return;
      }
    }
  }
}

void IniText::AddLine(std::string text, std::string end) {
  if (const auto name = HeaderName(text)) {
    blocks_.emplace_back();
    sections_.try_emplace(Lower(*name), blocks_.size() - 1);
  }
  blocks_.back().lines.push_back({std::move(text), std::move(end)});
}

void IniText::IndexKey(const Block& block, std::size_t line) {
  if (const auto name = KeyName(block.lines[line].text)) block.keys.try_emplace(Lower(*name), line);
}

const std::unordered_map<std::string, std::size_t>& IniText::KeyIndex(const Block& block) {
  if (!block.indexed) {
    block.keys.reserve(block.lines.size());
    for (std::size_t line = 0; line < block.lines.size(); ++line) IndexKey(block, line);
    block.indexed = true;
  }
  return block.keys;
}

const IniText::Block* IniText::SectionBlock(const std::string& section) const {
  const auto found = sections_.find(Lower(section));
  return found == sections_.end() ? nullptr : &blocks_[found->second];
}

std::optional<std::string> IniText::Find(const std::string& section, const std::string& key) const {
  const Block* block = SectionBlock(section);
  if (!block) return std::nullopt;
  const auto& keys = KeyIndex(*block);
  const auto line = keys.find(Lower(key));
  if (line == keys.end()) return std::nullopt;
  return std::string(ValueOf(block->lines[line->second].text));
}

std::vector<std::string> IniText::Keys(const std::string& section) const {
  std::vector<std::string> keys;
  const Block* block = SectionBlock(section);
  if (!block) return keys;
  for (const auto& line : block->lines) {
    if (const auto name = KeyName(line.text)) keys.emplace_back(*name);
  }
  return keys;
}

void IniText::ForEachKey(
    const std::string& section,
    const std::function<void(std::string_view, std::string_view)>& visit) const {
  const Block* block = SectionBlock(section);
  if (!block) return;
  for (const auto& line : block->lines) {
    if (const auto name = KeyName(line.text)) visit(*name, ValueOf(line.text));
  }
}

void IniText::Set(const std::string& section, const std::string& key, const std::string& value) {
  const auto found = sections_.find(Lower(section));
  if (found == sections_.end()) {
    blocks_.emplace_back();
    const std::size_t added = blocks_.size() - 1;
    sections_.emplace(Lower(section), added);
    Insert(added, 0, "[" + section + "]");
    Insert(added, 1, key + "=" + value);
    return;
  }
  Block& block = blocks_[found->second];
  const auto& keys = KeyIndex(block);
  if (const auto line = keys.find(Lower(key)); line != keys.end()) {
    // Keep the name as the file spells it.
    auto& text = block.lines[line->second].text;
    text = std::string(*KeyName(text)) + "=" + value;
    return;
  }
  // After the section's last non-blank line, so blank lines that separate it
  // from the next section stay where they are. Only blank lines follow, so
  // no indexed key line moves.
  auto at = block.lines.size();
  while (at > 1 && IsBlank(block.lines[at - 1].text)) --at;
  Insert(found->second, at, key + "=" + value);
}

void IniText::Insert(std::size_t block, std::size_t at, std::string text) {
  auto& lines = blocks_[block].lines;
  if (block == blocks_.size() - 1 && at == lines.size()) {
    // The new line becomes the text's last: the line before it needs an end.
    for (auto b = blocks_.rbegin(); b != blocks_.rend(); ++b) {
      if (b->lines.empty()) continue;
      if (b->lines.back().end.empty()) b->lines.back().end = newLine_;
      break;
    }
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), newLine_});
  if (blocks_[block].indexed) IndexKey(blocks_[block], at);
}

std::string IniText::Bytes() const {
  std::size_t size = byteOrderMark_.size();
  for (const auto& block : blocks_) {
    for (const auto& line : block.lines) size += line.text.size() + line.end.size();
  }
  std::string bytes;
  bytes.reserve(size);
  bytes += byteOrderMark_;
  for (const auto& block : blocks_) {
    for (const auto& line : block.lines) bytes.append(line.text).append(line.end);
  }
  return bytes;
}
