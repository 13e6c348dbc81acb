#include "tests/cli/summary_row.h"

#include <cstdlib>
#include <sstream>
#include <vector>

SummaryRow RowOf(const std::string& summary, const std::string& address) {
  std::istringstream lines(summary);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(address + " ", 0) != 0) continue;
    std::istringstream words(line.substr(address.size()));
    std::vector<std::string> tokens;
    for (std::string word; words >> word;) tokens.push_back(word);
    if (tokens.size() < 3) break;
    SummaryRow row;
    row.stored = std::atoi(tokens[tokens.size() - 2].c_str());
    for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
      row.outcome += (i ? " " : "") + tokens[i];
    }
    return row;
  }
  return {};
}
