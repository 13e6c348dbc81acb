#include "cli/fleet_report.h"

#include <algorithm>
#include <array>

#include "reports/csv.h"

namespace {

constexpr std::size_t kColumns = 10;
using Cells = std::array<std::string, kColumns>;

const Cells kHeads = {"state",   "shop",    "terminal",    "address", "ran",
                      "outcome", "records", "differences", "when",    "summary"};

template <class Count>
std::string Number(const std::optional<Count>& n) {
  return n ? std::to_string(*n) : "";
}

Cells CellsOf(const FleetRow& r) {
  return {FleetStateText(r.state), r.shop, r.name,   r.address, r.ran, r.outcome, Number(r.records),
          Number(r.differences),   r.when, r.summary};
}

// Characters, not bytes: every text is UTF-8.
std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Escaped(const std::string& text) {
  std::string html;
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      default:
        html += c;
    }
  }
  return html;
}

// The row's class in the page's style: its state's word, one word.
const char* RowClass(FleetState state) {
  return state == FleetState::NotProven ? "unproven" : FleetStateText(state);
}

constexpr const char* kPageHead =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
    "style-src 'unsafe-inline'\">\n<title>Orlent: the chain's terminals</title>\n<style>\n"
    "body { font-family: sans-serif; margin: 1.5em; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { border: 1px solid #999; padding: 0.2em 0.5em; text-align: left; }\n"
    "td.n { text-align: right; }\n"
    "tr.failed { background: #f4c7c3; }\n"
    "tr.differs { background: #fce8b2; }\n"
    "tr.unproven { background: #fff3d6; }\n"
    "</style>\n</head>\n<body>\n<h1>The chain's terminals</h1>\n";

}  // namespace

void SortForAttention(std::vector<FleetRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const FleetRow& a, const FleetRow& b) {
    return a.state != b.state ? a.state < b.state : a.shop < b.shop;
  });
}

std::string FleetTotalsText(const std::vector<FleetRow>& rows) {
  std::array<int, 4> counts{};
  for (const FleetRow& row : rows) ++counts[static_cast<std::size_t>(row.state)];
  std::string text =
      std::to_string(rows.size()) + (rows.size() == 1 ? " terminal: " : " terminals: ");
  for (const FleetState state :
       {FleetState::Failed, FleetState::Differs, FleetState::NotProven, FleetState::Fine}) {
    text += (state == FleetState::Failed ? "" : ", ") +
            std::to_string(counts[static_cast<std::size_t>(state)]) + " " + FleetStateText(state);
  }
  return text;
}

std::string FleetTable(const std::vector<FleetRow>& rows) {
  std::vector<Cells> lines = {kHeads};
  for (const FleetRow& row : rows) lines.push_back(CellsOf(row));
  std::array<std::size_t, kColumns> widths{};
  for (const Cells& line : lines) {
    for (std::size_t i = 0; i < kColumns; ++i) {
      widths[i] = std::max(widths[i], std::max<std::size_t>(Width(line[i]), 1));
    }
  }
  std::string table;
  for (const Cells& line : lines) {
    std::string text;
    for (std::size_t i = 0; i < kColumns; ++i) {
      const std::string cell = line[i].empty() ? "-" : line[i];
      text += cell + (i + 1 < kColumns ? std::string(widths[i] - Width(cell) + 2, ' ') : "");
    }
    table += text + "\n";
  }
  return table + FleetTotalsText(rows) + "\n";
}

std::string FleetCsv(const std::vector<FleetRow>& rows) {
  std::string csv = CsvRecord({kHeads.begin(), kHeads.end()});
  for (const FleetRow& row : rows) {
    const Cells cells = CellsOf(row);
    csv += CsvRecord({cells.begin(), cells.end()});
  }
  return csv;
}

std::string FleetHtml(const std::vector<FleetRow>& rows) {
  std::string html = kPageHead;
  html += "<p>" + Escaped(FleetTotalsText(rows)) + "</p>\n<table>\n<thead><tr>";
  for (const std::string& head : kHeads) html += "<th>" + Escaped(head) + "</th>";
  html += "</tr></thead>\n<tbody>\n";
  for (const FleetRow& row : rows) {
    html += std::string("<tr class=\"") + RowClass(row.state) + "\">";
    const Cells cells = CellsOf(row);
    for (std::size_t i = 0; i < kColumns; ++i) {
      const bool number = kHeads[i] == "records" || kHeads[i] == "differences";
      html += (number ? "<td class=\"n\">" : "<td>") + Escaped(cells[i]) + "</td>";
    }
    html += "</tr>\n";
  }
  return html + "</tbody>\n</table>\n</body>\n</html>\n";
}
