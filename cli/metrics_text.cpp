#include "cli/metrics_text.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string_view>

#include "text/utf8.h"

namespace {

constexpr std::string_view kLastSuccess = "orlent_terminal_last_success_timestamp_seconds";

// A label's value, quoted: backslash, quote and line feed escaped, and bytes
// that form no UTF-8 (a name in a legacy 8-bit encoding) taken as Latin-1.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  while (!text.empty()) {
    const std::size_t valid = ValidUtf8Prefix(text);
    for (const char c : text.substr(0, valid)) {
      if (c == '\\' || c == '"') quoted += '\\';
      quoted += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    if (valid == text.size()) break;
    const auto byte = static_cast<unsigned char>(text[valid]);
    quoted += static_cast<char>(0xC0 | byte >> 6);
    quoted += static_cast<char>(0x80 | (byte & 0x3F));
    text.remove_prefix(valid + 1);
  }
  return quoted + "\"";
}

// Label names with their values; and a family's samples, each its label set
// with its value.
using Labels = std::vector<std::pair<std::string, std::string>>;
using Samples = std::vector<std::pair<std::string, std::string>>;

// A label with an empty value is left out, as Prometheus takes it anyway.
std::string LabelText(const Labels& labels) {
  std::string text = "{";
  for (const auto& [name, value] : labels) {
    if (!value.empty()) text += (text.size() > 1 ? "," : "") + name + "=" + Quoted(value);
  }
  return text + "}";
}

std::string RunLabels(const RunFigures& run) {
  return LabelText({{"shop", run.names.shop}, {"ran", run.names.ran}, {"kind", run.kind}});
}

std::string TerminalLabels(const RunFigures& run, const std::string& address) {
  return LabelText({{"shop", run.names.shop},
                    {"ran", run.names.ran},
                    {"kind", run.kind},
                    {"address", address},
                    {"name", run.names.NameOf(address)}});
}

// One metric family: its HELP and TYPE lines, then its samples.
std::string Family(std::string_view name, std::string_view help, const Samples& samples) {
  if (samples.empty()) return "";
  std::string text = "# HELP " + std::string(name) + " " + std::string(help) + "\n# TYPE " +
                     std::string(name) + " gauge\n";
  for (const auto& [labels, value] : samples)
    text += std::string(name) + labels + " " + value + "\n";
  return text;
}

// Reads the label set at the start of `text` ("{a=\"x\",b=\"y\"}") into
// `labels`; returns what follows it, or nothing when it is not one.
std::optional<std::string_view> ReadLabels(std::string_view text,
                                           std::map<std::string, std::string>& labels) {
  if (text.empty() || text.front() != '{') return std::nullopt;
  text.remove_prefix(1);
  while (!text.empty() && text.front() != '}') {
    const std::size_t equals = text.find("=\"");
    if (equals == std::string_view::npos) return std::nullopt;
    std::string& value = labels[std::string(text.substr(0, equals))];
    std::size_t at = equals + 2;
    for (; at < text.size() && text[at] != '"'; ++at) {
      if (text[at] == '\\' && ++at < text.size()) {
        value += text[at] == 'n' ? '\n' : text[at];
      } else {
        value += text[at];
      }
    }
    if (at >= text.size()) return std::nullopt;
    text.remove_prefix(at + 1);
    if (!text.empty() && text.front() == ',') text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  return text.substr(1);
}

std::string SuccessKey(std::string_view ran, std::string_view kind, std::string_view address) {
  return std::string(ran) + '\n' + std::string(kind) + '\n' + std::string(address);
}

// The last success of each terminal that `previous` gives, as its text,
// by SuccessKey.
std::map<std::string, std::string> LastSuccesses(std::string_view previous) {
  std::map<std::string, std::string> found;
  while (!previous.empty()) {
    const std::size_t end = previous.find('\n');
    std::string_view line = previous.substr(0, end);
    previous.remove_prefix(end == std::string_view::npos ? previous.size() : end + 1);
    if (!line.starts_with(kLastSuccess)) continue;
    std::map<std::string, std::string> labels;
    const auto rest = ReadLabels(line.substr(kLastSuccess.size()), labels);
    if (!rest || !rest->starts_with(' ')) continue;
    const std::string value(rest->substr(1));
    char* parsed = nullptr;
    std::strtod(value.c_str(), &parsed);
    if (value.empty() || *parsed != '\0') continue;
    found[SuccessKey(labels["ran"], labels["kind"], labels["address"])] = value;
  }
  return found;
}

}  // namespace

TerminalFigures FiguresOf(CycleKind kind, const TerminalResult& result,
                          const TerminalResult* repair) {
  TerminalFigures figures{result.address, result.Good(), {}, {}, {}};
  if (kind == CycleKind::Send) {
    figures.sent = result.acknowledged;
    figures.held = result.acknowledged + result.unchanged;
  } else if (kind == CycleKind::Receive) {
    if (result.complete) figures.held = result.acknowledged;
  } else {
    figures.sent = repair ? repair->acknowledged : 0;
    if (result.comparison) {
      figures.held = static_cast<uint32_t>(result.comparison->same);
      figures.differs = result.comparison->Differs();
    }
  }
  return figures;
}

std::string MetricsText(const RunFigures& run, const std::string& previous) {
  const std::map<std::string, std::string> before = LastSuccesses(previous);
  Samples succeeded, lastSuccess, sent, held, differs;
  std::set<std::string> seen;  // an address listed twice is one series
  for (const TerminalFigures& t : run.terminals) {
    if (!seen.insert(t.address).second) continue;
    const std::string labels = TerminalLabels(run, t.address);
    succeeded.emplace_back(labels, t.succeeded ? "1" : "0");
    const auto last = before.find(SuccessKey(run.names.ran, run.kind, t.address));
    if (t.succeeded) {
      lastSuccess.emplace_back(labels, std::to_string(run.ended));
    } else if (last != before.end()) {
      lastSuccess.emplace_back(labels, last->second);
    }
    if (t.sent) sent.emplace_back(labels, std::to_string(*t.sent));
    if (t.held) held.emplace_back(labels, std::to_string(*t.held));
    if (t.differs) differs.emplace_back(labels, *t.differs ? "1" : "0");
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", run.seconds);
  const std::string runLabels = RunLabels(run);
  return Family("orlent_run_end_timestamp_seconds", "When the run ended, in seconds since 1970.",
                {{runLabels, std::to_string(run.ended)}}) +
         Family("orlent_run_duration_seconds", "How long the run took.", {{runLabels, seconds}}) +
         Family("orlent_terminal_succeeded",
                "1 when the run ended well for the terminal (sent, received, or the same as the "
                "file), else 0.",
                succeeded) +
         Family(kLastSuccess,
                "When a run of this kind last ended well for the terminal, in seconds since 1970.",
                lastSuccess) +
         Family("orlent_terminal_records_sent",
                "Records sent to the terminal in the run that it acknowledged as stored.", sent) +
         Family("orlent_terminal_records_held",
                "Records the terminal holds as the file has them, as far as the run knows.", held) +
         Family("orlent_terminal_differs",
                "1 when the terminal's records differ from the file's, 0 when they do not.",
                differs);
}
