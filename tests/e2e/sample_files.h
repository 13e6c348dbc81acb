// Made-up download files of every kind for the end-to-end tests, as lines
// without their line ends.
#pragma once

#include <string>
#include <vector>

// `count` PLU lines with PLU numbers 1 to `count`, every column varied.
std::vector<std::string> PluLines(int count);
std::vector<std::string> BarcodeLines();
std::vector<std::string> IngredientLines();
std::vector<std::string> ScrollMsgLines();
// The one line of a speedkey file: 144 key numbers.
std::string SpeedkeyLine();
// The lines joined with CR LF, as a download file.
std::string FileText(const std::vector<std::string>& lines);
