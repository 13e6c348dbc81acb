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
    // The outcome, then five numbers: stored, sent, unchanged, deleted, seconds.
    if (tokens.size() < 6) break;
    const std::size_t numbers = tokens.size() - 5;
    SummaryRow row;
    row.stored = std::atoi(tokens[numbers].c_str());
    row.sent = std::atoi(tokens[numbers + 1].c_str());
    row.unchanged = std::atoi(tokens[numbers + 2].c_str());
    row.deleted = std::atoi(tokens[numbers + 3].c_str());
    for (std::size_t i = 0; i < numbers; ++i) row.outcome += (i ? " " : "") + tokens[i];
    return row;
  }
  return {};
}
