// `orlent-cli fleet-report`: the rows of many summaries as one table, the
// terminals that failed first, then those that differ, then those not
// proven, then the rest; each group by shop, in the order read within a
// shop. Shown as text for the terminal, as CSV for spreadsheets and as an
// HTML page that needs nothing but itself (no script, nothing fetched).
#pragma once

#include <string>
#include <vector>

#include "cli/fleet_rows.h"

// `rows` in the report's order.
void SortForAttention(std::vector<FleetRow>& rows);

// "12 terminals: 2 failed, 1 differs, 0 not proven, 9 ok".
std::string FleetTotalsText(const std::vector<FleetRow>& rows);

// Columns padded to their widest cell, then the totals line.
std::string FleetTable(const std::vector<FleetRow>& rows);
// A header record, then one record per row (CR LF, RFC 4180).
std::string FleetCsv(const std::vector<FleetRow>& rows);
// A whole UTF-8 page: the totals, then the table, every text escaped.
std::string FleetHtml(const std::vector<FleetRow>& rows);
