#include "cycle/received_file.h"

#include <cstdio>
#include <filesystem>

#include "records/records.h"

std::string ReceivedKindName(uint8_t code) {
  static constexpr struct {
    uint8_t code;
    const char* name;
  } kNames[] = {
      {kCodePlu, "PLU"},
      {kCodeBarcode, "Barcode"},
      {kCodeIngredient, "Ingredient"},
      {kCodeScrollMsg, "ScrollMsg"},
      {kCodeReportPlu, "Report-PLU"},
      {kCodeReportTime, "Report-Time"},
      {kCodeReportGroup, "Report-Group"},
      {kCodeReportDept, "Report-Dept"},
  };
  for (const auto& [known, name] : kNames) {
    if (known == code) return name;
  }
  return "";
}

std::string FreeReceivedFilePath(const std::string& folder, uint8_t code,
                                 const std::string& address, std::chrono::local_days day) {
  const std::chrono::year_month_day date(std::chrono::sys_days(day.time_since_epoch()));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  const std::string stem = ReceivedKindName(code) + "_" + address + "_" + text;
  std::filesystem::path path = std::filesystem::path(folder) / (stem + ".txt");
  for (int copy = 2; std::filesystem::exists(path); ++copy) {
    path = std::filesystem::path(folder) / (stem + "_" + std::to_string(copy) + ".txt");
  }
  return path.string();
}

bool IsReportCode(uint8_t code) {
  return code == kCodeReportPlu || code == kCodeReportTime || code == kCodeReportGroup ||
         code == kCodeReportDept;
}
