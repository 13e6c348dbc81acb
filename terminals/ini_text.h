// IniText: the bytes of a private-profile file as lines, read and edited by
// section and key without touching anything else. Names match without regard
// to ASCII case; comment lines, blank lines, unknown sections and keys, line
// ends and every other byte stay exactly as they were.
#pragma once

#include <optional>
#include <string>
#include <vector>

class IniText {
 public:
  // Splits `bytes` into lines; lines end in LF or CR LF.
  explicit IniText(const std::string& bytes);

  // The raw value of the first matching key, blanks around it and one pair of
  // enclosing quotes removed; nothing when the key is missing.
  std::optional<std::string> Find(const std::string& section, const std::string& key) const;
  // Names of the keys of `section`, in file order.
  std::vector<std::string> Keys(const std::string& section) const;
  // Updates the key in place, or appends it at the end of its section, or
  // appends the section at the end of the text.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  std::string Bytes() const;

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\r\n", "\n", or empty for a last line without one
  };
  // Index of the header line of each section called `section`.
  std::vector<std::size_t> SectionHeaders(const std::string& section) const;
  // One past the last line that belongs to the section whose header is at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::optional<std::size_t> FindKeyLine(const std::string& section, const std::string& key) const;
  void Insert(std::size_t at, std::string text);

  std::vector<Line> lines_;
  std::string newLine_;  // the line end of the text, used for lines it gains
};
