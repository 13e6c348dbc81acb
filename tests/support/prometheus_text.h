// A strict reader of the Prometheus text exposition format, for the tests
// of the metrics files: it checks every line against the format's grammar
// (metric and label names, escapes in HELP texts and label values, the
// values' floats), that a family's TYPE comes before its samples and only
// once, that a family's samples stand together and that no series repeats,
// and that no sample carries a timestamp, which the textfile collector
// refuses.
#pragma once

#include <map>
#include <string>
#include <vector>

struct PrometheusSample {
  std::string name;
  std::map<std::string, std::string> labels;  // unescaped
  std::string value;                          // as written
};

struct PrometheusText {
  std::vector<PrometheusSample> samples;
  std::map<std::string, std::string> types;  // by family name
  std::string error;                         // empty: the text follows the grammar
};

PrometheusText ParsePrometheusText(const std::string& text);
