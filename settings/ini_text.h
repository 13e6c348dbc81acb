// IniText: the bytes of a private-profile file as lines, read and edited by
// section and key without touching anything else. Names match without regard
// to ASCII case; comment lines, blank lines, unknown sections and keys, line
// ends, a leading UTF-8 byte order mark and every other byte stay exactly as
// they were. When a section name appears twice, only its first section is
// read and written, as the private-profile functions do. The text is parsed
// once and indexed, so a lookup or an edit costs the same in a large file.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniText {
 public:
  // Splits `bytes` into lines; lines end in LF, CR LF or a lone CR.
  explicit IniText(const std::string& bytes);

  // The raw value of the first matching key, blanks around it and one pair of
  // enclosing quotes removed; nothing when the key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // Names of the keys of `section`, in file order.
  std::vector<std::string> Keys(const std::string& section) const;
  // Every key line of `section` in file order, repeated names included: its
  // name and its value as Find gives it.
  void ForEachKey(const std::string& section,
                  const std::function<void(std::string_view, std::string_view)>& visit) const;
  // Updates the key in place, or appends it at the end of its section, or
  // appends the section at the end of the text.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  std::string Bytes() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", "\r", or empty for a last line without one
  };
  // The lines from one section header up to the next; the first block holds
  // the lines before any header and has no header of its own.
  // The key index is built when a section is first searched by key name, so
  // a text that is only walked (a load) never pays for it.
  struct Block {
    std::vector<Line> lines;
    mutable bool indexed = false;
    mutable std::unordered_map<std::string, std::size_t> keys;  // lower-case name: first line
  };

  void AddLine(std::string text, std::string end);
  static void IndexKey(const Block& block, std::size_t line);
  static const std::unordered_map<std::string, std::size_t>& KeyIndex(const Block& block);
  const Block* SectionBlock(const std::string& section) const;
  void Insert(std::size_t block, std::size_t at, std::string text);

  std::string byteOrderMark_;
  std::vector<Block> blocks_;
  std::unordered_map<std::string, std::size_t> sections_;  // lower-case name: first block
  std::string newLine_;  // the line end of the text, used for lines it gains
};
