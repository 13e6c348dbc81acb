#include "tests/support/prometheus_text.h"

#include <regex>
#include <set>
#include <string_view>

namespace {

const std::regex kMetricName("[a-zA-Z_:][a-zA-Z0-9_:]*");
const std::regex kLabelName("[a-zA-Z_][a-zA-Z0-9_]*");
const std::regex kFloat(R"([+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?|[+-]?Inf|NaN)");
const std::set<std::string> kTypes = {"counter", "gauge", "histogram", "summary", "untyped"};

bool Matches(const std::string& text, const std::regex& pattern) {
  return std::regex_match(text, pattern);
}

// Reads one quoted label value at `at` (after its opening quote) up to its
// closing quote; only \\, \" and \n are escapes.
bool ReadValue(std::string_view line, std::size_t& at, std::string& value) {
  for (; at < line.size() && line[at] != '"'; ++at) {
    if (line[at] == '\n') return false;
    if (line[at] != '\\') {
      value += line[at];
      continue;
    }
    if (++at >= line.size()) return false;
    if (line[at] == 'n') {
      value += '\n';
    } else if (line[at] == '\\' || line[at] == '"') {
      value += line[at];
    } else {
      return false;
    }
  }
  return at++ < line.size();
}

// A sample line: name, optional label set, blanks, value, no timestamp.
std::string ReadSample(std::string_view line, PrometheusSample& sample) {
  std::size_t at = line.find_first_of("{ \t");
  sample.name = std::string(line.substr(0, at));
  if (!Matches(sample.name, kMetricName)) return "bad metric name";
  if (at < line.size() && line[at] == '{') {
    ++at;
    while (at < line.size() && line[at] != '}') {
      const std::size_t equals = line.find('=', at);
      if (equals == std::string_view::npos) return "label without =";
      const std::string name(line.substr(at, equals - at));
      if (!Matches(name, kLabelName) || name.starts_with("__")) return "bad label name " + name;
      at = equals + 1;
      if (at >= line.size() || line[at++] != '"') return "label value not quoted";
      std::string value;
      if (!ReadValue(line, at, value)) return "bad label value of " + name;
      if (!sample.labels.emplace(name, value).second) return "label twice: " + name;
      if (at < line.size() && line[at] == ',')
        ++at;
      else if (at < line.size() && line[at] != '}')
        return "labels not separated by commas";
    }
    if (at++ >= line.size()) return "label set not closed";
  }
  const std::size_t value = line.find_first_not_of(" \t", at);
  if (value == at || value == std::string_view::npos) return "no value";
  const std::size_t end = line.find_first_of(" \t", value);
  sample.value = std::string(line.substr(value, end - value));
  if (!Matches(sample.value, kFloat)) return "bad value " + sample.value;
  if (end != std::string_view::npos && line.find_first_not_of(" \t", end) != std::string_view::npos)
    return "a timestamp, which the textfile collector refuses";
  return "";
}

// A "# HELP" or "# TYPE" line; any other comment is taken as it is.
std::string ReadComment(std::string_view line, PrometheusText& parsed,
                        std::set<std::string>& helped, const std::set<std::string>& sampled) {
  const bool help = line.starts_with("# HELP ");
  if (!help && !line.starts_with("# TYPE ")) return "";
  line.remove_prefix(7);
  const std::size_t blank = line.find(' ');
  const std::string name(line.substr(0, blank));
  const std::string rest(blank == std::string_view::npos ? "" : line.substr(blank + 1));
  if (!Matches(name, kMetricName)) return "bad metric name in a comment";
  if (help) {
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == '\\' && (++i >= rest.size() || (rest[i] != '\\' && rest[i] != 'n')))
        return "bad escape in HELP of " + name;
    }
    return helped.insert(name).second ? "" : "HELP twice for " + name;
  }
  if (!kTypes.contains(rest)) return "bad type " + rest;
  if (sampled.contains(name)) return "TYPE after the samples of " + name;
  return parsed.types.emplace(name, rest).second ? "" : "TYPE twice for " + name;
}

}  // namespace

PrometheusText ParsePrometheusText(const std::string& text) {
  PrometheusText parsed;
  if (!text.empty() && text.back() != '\n') parsed.error = "the last line has no line end";
  std::set<std::string> helped, sampled, series;
  std::string current;  // the family whose samples are being read
  std::string_view rest(text);
  for (int number = 1; parsed.error.empty() && !rest.empty(); ++number) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    std::string error;
    PrometheusSample sample;
    if (line.empty()) continue;
    if (line.front() == '#') {
      error = ReadComment(line, parsed, helped, sampled);
    } else if ((error = ReadSample(line, sample)).empty()) {
      std::string key = sample.name;
      for (const auto& [name, value] : sample.labels) key += "\n" + name + "=" + value;
      if (sample.name != current && sampled.contains(sample.name)) {
        error = "the samples of " + sample.name + " are not together";
      } else if (!series.insert(key).second) {
        error = "a series twice";
      }
      current = sample.name;
      sampled.insert(sample.name);
      parsed.samples.push_back(std::move(sample));
    }
    if (!error.empty()) parsed.error = "line " + std::to_string(number) + ": " + error;
  }
  return parsed;
}
