// A terminal's character set: the 8-bit set its texts are stored in, named as
// the C library's iconv names it ("windows-1252", "ISO-8859-2", "CP437"), or
// "none" for bytes passed unchanged. Turns the UTF-8 texts of download files
// into that set, refusing a character it lacks (never replaced, never
// dropped), and the texts a terminal sends back into UTF-8.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Terminals sold in western Europe store windows-1252, and so do the files
// that older shop systems wrote.
inline constexpr const char* kDefaultCodePage = "windows-1252";
// Bytes go to the terminal and come back unchanged.
inline constexpr const char* kNoCodePage = "none";

// A character of a UTF-8 text that the terminal's set does not have.
struct MissingCharacter {
  std::string character;  // its UTF-8 bytes
  int position = 0;       // counted in characters, from 1
};

// A UTF-8 text in the terminal's set: its bytes, or the first character
// that refused it.
struct TerminalText {
  std::string bytes;
  std::optional<MissingCharacter> missing;
};

class CodePage {
 public:
  // windows-1252.
  CodePage();
  // The set iconv knows by `name` (in any case), or "none". Nothing for a
  // name iconv does not know, a name with options ("//TRANSLIT"), or a set
  // that does not keep every ASCII byte as it is, both ways: a tab, a digit,
  // a plain letter or a control character must mean the same in the file
  // and on the terminal. So UTF-16 and EBCDIC are refused, and so are the
  // sets that put letters below 32 (TCVN, VISCII) and those with shift
  // states (ISO-2022-JP, UTF-7).
  static std::optional<CodePage> Named(std::string_view name);

  const std::string& Name() const { return name_; }
  // "none": every conversion gives its bytes back unchanged.
  bool PassesBytes() const { return !conversions_; }

  // `utf8` in the terminal's set. A character the set lacks refuses the
  // whole text; so does a byte that is not valid UTF-8, as its own character.
  TerminalText FromUtf8(std::string_view utf8) const;
  // The terminal's bytes as UTF-8. Every byte the set defines maps; one it
  // leaves undefined (in windows-1252: 0x81, 0x8D, 0x8F, 0x90 and 0x9D), or
  // that ends the text in the middle of a character of a multi-byte set,
  // becomes U+FFFD, the replacement character.
  std::string ToUtf8(std::string_view bytes) const;

 private:
  struct Conversions;
  explicit CodePage(std::string_view name) : name_(name) {}

  std::string name_;
  std::shared_ptr<Conversions> conversions_;  // null for "none"
};

// The message that refuses a character set name, naming it.
std::string UnknownCodePageMessage(std::string_view name);
