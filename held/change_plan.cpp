#include "held/change_plan.h"

#include <map>

#include "held/record_digest.h"
#include "records/difference_text.h"

namespace {

using Bytes = std::span<const uint8_t>;

// The fields a held record and the file's record of its number differ in.
std::vector<FieldChange> FieldChanges(const RecordKind& kind, const HeldRecord& held, Bytes inFile,
                                      const HeldText& text) {
  const std::vector<uint8_t> onTerminal = RecordOfFields(kind, held.fields);
  std::vector<FieldChange> changes;
  if (onTerminal.empty()) return changes;  // fields of another layout: no field to name
  for (const KindColumn& field : kind.columns) {
    if (field.recordNumber) continue;  // the records are matched by it
    const std::string was = FieldValue(field, onTerminal);
    const std::string is = FieldValue(field, inFile);
    if (was != is) {
      changes.push_back({field.name, ShownValue(field, was, text), ShownValue(field, is, text)});
    }
  }
  return changes;
}

}  // namespace

ChangePlan PlanChanges(const CheckedDownload& file, const HeldRecords& held, bool deleteMissing,
                       const HeldText& text) {
  const RecordKind& kind = file.Kind();
  // A number's last line is the record the terminal ends up storing.
  std::map<int64_t, std::size_t> lastLine;
  const auto records = file.Records();
  for (std::size_t i = 0; i < records.size(); ++i) lastLine[records[i].number] = i;
  ChangePlan plan;
  plan.nothingHeld = held.empty();
  std::map<int64_t, RecordChange> changes;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const DownloadRecord& record = records[i];
    if (lastLine[record.number] != i) continue;
    const auto h = held.find(record.number);
    RecordChange change{record.number, h == held.end(), {}};
    if (!change.fresh) {
      const std::vector<uint8_t> fields = FieldsOf(kind, record.bytes);
      if (h->second.digest == DigestOf(fields) && h->second.fields == fields) {
        ++plan.unchanged;
        continue;
      }
      change.fields = FieldChanges(kind, h->second, record.bytes, text);
    }
    ++(change.fresh ? plan.fresh : plan.changed);
    plan.toSend.push_back(record);
    changes.emplace(record.number, std::move(change));
  }
  for (const auto& [number, row] : held) {
    if (lastLine.count(number)) continue;
    ++plan.missing;
    if (deleteMissing) plan.toDelete.push_back(number);
  }
  for (auto& [number, change] : changes) plan.changes.push_back(std::move(change));
  return plan;
}

std::vector<std::string> ChangeLines(const RecordKind& kind, const RecordChange& change) {
  const std::string record = RecordName(kind, change.number);
  if (change.fresh) return {record + ": new"};
  if (change.fields.empty()) return {record + ": changed"};
  std::vector<std::string> lines;
  for (const FieldChange& field : change.fields) {
    lines.push_back(record + " " + field.column + ": " + field.held + " held, " + field.inFile +
                    " in the file");
  }
  return lines;
}

std::string MissingLine(const RecordKind& kind, int64_t number) {
  return RecordName(kind, number) + ": held, not in the file";
}
