#include "records/verify_lines.h"

#include <utility>

std::string ComparisonCountsText(const RecordComparison& comparison) {
  std::string text = std::to_string(comparison.same) + " same";
  const struct {
    int count;
    const char* words;
  } parts[] = {{comparison.different, " different"},
               {comparison.missing, " missing"},
               {comparison.extra, " only on the terminal"},
               {comparison.unseen, " not seen"}};
  for (const auto& part : parts) {
    if (part.count > 0) text += ", " + std::to_string(part.count) + part.words;
  }
  return text;
}

const char* Verdict(const RecordComparison& comparison) {
  if (comparison.Matches()) return "- Verified";
  return comparison.Differs() ? "- Differs" : "- Not proven";
}

std::vector<std::string> DifferenceLines(const RecordComparison& comparison) {
  std::vector<std::string> lines;
  for (const std::string& difference : comparison.differences) lines.push_back("  " + difference);
  if (comparison.unlisted > 0) {
    lines.push_back("  and " + std::to_string(comparison.unlisted) + " more");
  }
  return lines;
}

std::vector<std::string> VerifyLines(const std::string& address,
                                     const RecordComparison& comparison) {
  std::vector<std::string> lines{std::string(Verdict(comparison)) + " " + address + ": " +
                                 ComparisonCountsText(comparison)};
  if (comparison.NotProven()) lines[0] += "; " + comparison.unproven;
  for (std::string& line : DifferenceLines(comparison)) lines.push_back(std::move(line));
  return lines;
}
