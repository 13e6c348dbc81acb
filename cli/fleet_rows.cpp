#include "cli/fleet_rows.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// "terminals[2]: what", or what alone for the summary's own fields.
std::runtime_error Problem(const std::string& where, const std::string& what) {
  return std::runtime_error(where.empty() ? what : where + ": " + what);
}

using Type = JsonValue::Type;

const char* const kRuns[] = {"send", "changes send", "verification", "repair", "receive"};

// The member `key` of `object`, or null when it is missing or null; one of
// another type than `type` is refused.
const JsonValue* Member(const JsonValue& object, const std::string& key, Type type,
                        const std::string& where) {
  const JsonValue* value = object.Find(key);
  if (!value || value->type == Type::Null) return nullptr;
  if (value->type != type) {
    const char* const kinds[] = {"null",   "true or false", "a number",
                                 "a text", "a list",        "an object"};
    throw Problem(where, "\"" + key + "\" is not " + kinds[static_cast<int>(type)]);
  }
  return value;
}

// Control characters would break a table's line or a page's text.
std::string Shown(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte == 0x7F ? std::string("\xEF\xBF\xBD") : std::string(1, c);
  }
  return shown;
}

std::string Text(const JsonValue& object, const std::string& key, const std::string& where) {
  const JsonValue* value = Member(object, key, Type::String, where);
  return value ? Shown(value->text) : "";
}

std::optional<uint32_t> Count(const JsonValue& object, const std::string& key,
                              const std::string& where) {
  const JsonValue* value = Member(object, key, Type::Number, where);
  if (!value) return std::nullopt;
  const double n = value->number;
  if (n < 0 || n > 4294967295.0 || std::floor(n) != n) {
    throw Problem(where, "\"" + key + "\" is not a count of records");
  }
  return static_cast<uint32_t>(n);
}

// What ran, as the summary names it, or as its fields tell: a verification
// has totals, a repair's terminals say what was sent to them, a receive's
// name their files, and a changes send's count records held already or
// deleted (one that sent every terminal the whole file reads as a send).
std::string Ran(const JsonValue& summary, const JsonValue& terminals) {
  if (const JsonValue* ran = Member(summary, "ran", Type::String, "")) {
    for (const char* run : kRuns) {
      if (ran->text == run) return run;
    }
    throw std::runtime_error("\"ran\" is not send, changes send, verification, repair or receive");
  }
  const auto has = [&terminals](const char* key) {
    return std::any_of(terminals.items.begin(), terminals.items.end(),
                       [key](const JsonValue& t) { return t.Find(key) != nullptr; });
  };
  const auto nonZero = [&terminals](const char* key) {
    return std::any_of(terminals.items.begin(), terminals.items.end(), [key](const JsonValue& t) {
      const JsonValue* count = t.Find(key);
      return count && count->type == Type::Number && count->number != 0;
    });
  };
  if (summary.Find("totals")) return has("repair") ? "repair" : "verification";
  if (has("file")) return "receive";
  if (nonZero("unchanged") || nonZero("deleted")) return "changes send";
  return "send";
}

FleetState StateOf(const std::string& ran, const std::string& outcome) {
  if (ran == "verification" || ran == "repair") {
    return outcome == "same"         ? FleetState::Fine
           : outcome == "different"  ? FleetState::Differs
           : outcome == "not proven" ? FleetState::NotProven
                                     : FleetState::Failed;
  }
  return outcome == (ran == "receive" ? "received" : "sent") ? FleetState::Fine
                                                             : FleetState::Failed;
}

FleetRow RowOf(const JsonValue& terminal, const std::string& ran, const std::string& where) {
  if (terminal.type != Type::Object) throw std::runtime_error(where + " is not an object");
  FleetRow row;
  row.name = Text(terminal, "name", where);
  row.address = Text(terminal, "address", where);
  row.outcome = Text(terminal, "outcome", where);
  if (row.address.empty()) throw Problem(where, "no \"address\"");
  if (row.outcome.empty()) throw Problem(where, "no \"outcome\"");
  row.state = StateOf(ran, row.outcome);
  const bool verified = ran == "verification" || ran == "repair";
  row.records = Count(terminal,
                      verified           ? "same"
                      : ran == "receive" ? "records"
                                         : "acknowledged",
                      where);
  if (verified && row.state != FleetState::Failed) {
    uint64_t differences = 0;
    for (const char* key : {"different", "missing", "extra"}) {
      differences += Count(terminal, key, where).value_or(0);
    }
    row.differences = differences;
  }
  return row;
}

}  // namespace

const char* FleetStateText(FleetState state) {
  switch (state) {
    case FleetState::Failed:
      return "failed";
    case FleetState::Differs:
      return "differs";
    case FleetState::NotProven:
      return "not proven";
    case FleetState::Fine:
      break;
  }
  return "ok";
}

std::vector<FleetRow> FleetRowsOf(const JsonValue& summary, const std::string& file) {
  if (summary.type != Type::Object) throw std::runtime_error("not a JSON object");
  const JsonValue* terminals = Member(summary, "terminals", Type::Array, "");
  if (!terminals) throw std::runtime_error("no \"terminals\": not a summary of a run");
  const std::string ran = Ran(summary, *terminals);
  const std::string shop = Text(summary, "shop", "");
  const std::string ended = Text(summary, "ended", "");
  const std::string when = ended.empty() ? Text(summary, "started", "") : ended;
  std::vector<FleetRow> rows;
  for (std::size_t i = 0; i < terminals->items.size(); ++i) {
    FleetRow row = RowOf(terminals->items[i], ran, "terminals[" + std::to_string(i) + "]");
    row.shop = shop;
    row.ran = ran;
    row.when = when;
    row.summary = file;
    rows.push_back(std::move(row));
  }
  return rows;
}
