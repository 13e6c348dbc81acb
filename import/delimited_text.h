// The rows of a delimited export as a shop system writes it: fields apart by
// a comma, a semicolon or a tab, a field in double quotes holding delimiters,
// line breaks and doubled quotes (RFC 4180), records ending in CR LF or LF.
// Fields stay in the export's own bytes; the character set is turned later,
// field by field, so that a stray byte refuses only its own line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DelimitedRow {
  int line = 0;  // the line of the export the row begins on, from 1
  std::vector<std::string> fields;
  std::string fault;  // why the row cannot be read as written; empty when it can
  std::string text;   // the row as the export holds it, without its line end
};

// The delimiter of an export, found from its first line: the one of comma,
// semicolon and tab that occurs there most often outside quotes; nothing
// when none does, or when two occur equally often.
std::optional<char> DetectDelimiter(std::string_view firstLine);

// The export's first line (a UTF-8 byte order mark left out of it).
std::string_view FirstLine(std::string_view bytes);

// Every row of `bytes`, empty lines left out, a UTF-8 byte order mark at the
// start left out, and a Ctrl-Z as the very last byte left out.
std::vector<DelimitedRow> SplitDelimited(std::string_view bytes, char delimiter);
