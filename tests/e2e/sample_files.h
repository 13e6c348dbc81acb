// Made-up PLU and speedkey download files for the end-to-end tests, as lines
// without their line ends.
#pragma once

#include <string>
#include <vector>

// `count` PLU lines with PLU numbers 1 to `count`, every column varied.
std::vector<std::string> PluLines(int count);
// The one line of a speedkey file: 144 key numbers.
std::string SpeedkeyLine();
// The lines joined with CR LF, as a download file.
std::string FileText(const std::vector<std::string>& lines);
