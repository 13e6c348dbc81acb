#include "reports/simulated_report.h"

#include <algorithm>
#include <cstring>

#include "records/records.h"
#include "records/upload_line.h"
#include "termsim/report_records.h"

namespace {

template <class Record>
Record FromBytes(const std::vector<uint8_t>& bytes) {
  Record record;
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

SimulatedReport PluReport() {
  SimulatedReport report;
  for (uint16_t i = 0; i < 60; ++i) {
    PluRecord plu{};
    plu.PluNo = 101 + i;
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(&plu), sizeof plu);
    const auto record = FromBytes<ReportPluRecord>(PluReportRecord(i, bytes));
    report.text += ReportPluUploadLine(record);
    report.records.push_back({record.Value2, record.Value3, record.Value4});
  }
  return report;
}

// Ordered largest first by `measure`, then `tie`; equal records in report order.
std::vector<SimulatedRecord> Largest(std::vector<SimulatedRecord> records,
                                     int64_t SimulatedRecord::*measure,
                                     int64_t SimulatedRecord::*tie, std::size_t count) {
  std::erase_if(records, [&](const SimulatedRecord& r) { return r.*measure <= 0; });
  std::stable_sort(records.begin(), records.end(), [&](const auto& a, const auto& b) {
    return a.*measure != b.*measure ? a.*measure > b.*measure : a.*tie > b.*tie;
  });
  records.resize(std::min(records.size(), count));
  return records;
}

}  // namespace

SimulatedReport SimulateReport(uint8_t code) {
  if (code == kCodeReportPlu) return PluReport();
  SimulatedReport report;
  const ReportRange range = *TotalReportRange(code);
  for (int number = range.first; number <= range.last; ++number) {
    const auto record =
        FromBytes<ReportTotalRecord>(TotalReportRecord(code, static_cast<uint16_t>(number)));
    report.text += ReportTotalUploadLine(record);
    report.records.push_back({record.Number, record.Value1, record.Value2});
  }
  return report;
}

std::vector<ChartBar> ExpectedBars(const SimulatedReport& report, ReportKind kind) {
  std::vector<ChartBar> bars;
  if (kind == ReportKind::Time) {
    for (int hour = 0; hour < 24; ++hour) bars.push_back({std::to_string(hour), 0});
    for (const auto& r : report.records) bars[r.number].value += r.amount;
    return bars;
  }
  const bool plu = kind == ReportKind::Plu;
  const char* name = plu ? "PLU " : kind == ReportKind::Group ? "Group " : "Department ";
  const auto largest =
      plu ? Largest(report.records, &SimulatedRecord::sales, &SimulatedRecord::amount, kChartedPlus)
          : Largest(report.records, &SimulatedRecord::amount, &SimulatedRecord::amount,
                    kChartedTotals);
  for (const auto& r : largest)
    bars.push_back({name + std::to_string(r.number), plu ? r.sales : r.amount});
  return bars;
}
