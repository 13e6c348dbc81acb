// One terminal's row of the summary that `orlent-cli send` prints on
// standard error: the address, the outcome (which may hold blanks), the
// records stored, sent, held already and deleted, and the seconds taken.
#pragma once

#include <string>

struct SummaryRow {
  std::string outcome;  // empty when the summary has no row for the address
  int stored = -1;
  int sent = -1;
  int unchanged = -1;
  int deleted = -1;
};

// The row of `address` in `summary`.
SummaryRow RowOf(const std::string& summary, const std::string& address);
