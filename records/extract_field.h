// ExtractField: one column of a download file line, with the program-wide
// flag that tells a parser the line lacks the column it asked for.
#pragma once

#include <string_view>

// Raised by ExtractField when the column asked for lies two or more places
// beyond the line's last field; never lowered by it. A parser lowers it before
// every column that it asks for.
extern bool MissingFieldFlag;

// Returns field `n` (counted from 1) of `line`, whose fields are divided by
// `separator`; a view into `line`. A missing field comes back empty; the field
// one past the last one does so without raising MissingFieldFlag. Empty fields
// between two separators are valid.
std::string_view ExtractField(std::string_view line, int n, char separator);
