// `orlent-cli fleet-report`: reads every summary named, or found in the
// folders named, and writes their terminals as one table.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "cli/commands.h"
#include "cli/fleet_report.h"
#include "settings/atomic_file.h"

namespace {

namespace fs = std::filesystem;

// Every *.json below `folder`, by path; names that begin with a dot (a
// replacement's temporary file) are left out.
std::vector<std::string> SummariesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::path& path = it->path();
    const std::string name = path.filename().string();
    if (path.extension() == ".json" && !name.starts_with(".") && it->is_regular_file(error)) {
      files.push_back(path.string());
    }
  }
  if (error) throw ExitStatus(2, folder + ": " + error.message());
  std::sort(files.begin(), files.end());
  return files;
}

// The files named and those found in the folders named, in that order; a
// file named twice, or found in two folders named, is read once.
std::vector<std::string> SummaryFiles(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  std::set<fs::path> seen;
  const auto take = [&](const std::string& file) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(file, error);
    if (error || seen.insert(canonical).second) files.push_back(file);
  };
  for (const std::string& path : paths) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
      take(path);
      continue;
    }
    for (const std::string& file : SummariesIn(path)) take(file);
  }
  if (files.empty()) throw ExitStatus(2, "no summaries (*.json) found");
  return files;
}

std::vector<FleetRow> RowsOf(const std::string& file) {
  const FileContent content = ReadWholeFile(file);
  if (content.status != ReadStatus::Ok) {
    throw ExitStatus(2, file + ": " +
                            (content.status == ReadStatus::Missing ? "no such file or folder"
                                                                   : "cannot be read"));
  }
  try {
    return FleetRowsOf(ReadJson(content.bytes), file);
  } catch (const std::runtime_error& e) {
    throw ExitStatus(2, file + ": " + e.what());
  }
}

void Write(const std::string& path, const std::string& bytes) {
  if (!path.empty() && !ReplaceFileAtomically(path, bytes)) {
    throw ExitStatus(2, "cannot write " + path);
  }
}

}  // namespace

int FleetReport(const FleetReportOptions& options) {
  std::vector<FleetRow> rows;
  for (const std::string& file : SummaryFiles(options.summaries)) {
    for (FleetRow& row : RowsOf(file)) rows.push_back(std::move(row));
  }
  SortForAttention(rows);
  Write(options.csv, FleetCsv(rows));
  Write(options.html, FleetHtml(rows));
  std::fputs(FleetTable(rows).c_str(), stdout);
  const bool attention = std::any_of(rows.begin(), rows.end(),
                                     [](const FleetRow& r) { return r.state != FleetState::Fine; });
  return attention ? 1 : 0;
}
