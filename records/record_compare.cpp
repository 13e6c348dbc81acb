#include "records/record_compare.h"

#include <cstdint>
#include <map>
#include <span>
#include <utility>

#include "records/difference_text.h"
#include "records/record_fields.h"

namespace {

using Bytes = std::span<const uint8_t>;
using RecordsByNumber = std::map<int64_t, Bytes>;

// By record number, a later record replacing an earlier one of its number.
RecordsByNumber ByNumber(const RecordKind& kind, const std::vector<std::vector<uint8_t>>& records) {
  const KindColumn* number = NumberColumn(kind);
  RecordsByNumber numbered;
  for (const auto& record : records) {
    const Bytes bytes(record.data(), record.size());
    numbered[number ? FieldNumber(*number, bytes) : 1] = bytes;
  }
  return numbered;
}

RecordsByNumber ByNumber(std::span<const DownloadRecord> records) {
  RecordsByNumber numbered;
  for (const DownloadRecord& record : records) numbered[record.number] = record.bytes;
  return numbered;
}

class Comparer {
 public:
  Comparer(const RecordKind& kind, const CompareOptions& options)
      : kind_(kind), options_(options) {}

  void Unseen() { ++result_.unseen; }
  void Missing(int64_t number) {
    ++result_.missing;
    Note({RecordDifference::Kind::Missing, number, nullptr, {}, {}});
  }
  void Extra(int64_t number) {
    ++result_.extra;
    Note({RecordDifference::Kind::Extra, number, nullptr, {}, {}});
  }
  void Both(int64_t number, Bytes file, Bytes terminal) {
    bool differs = false;
    for (const KindColumn& field : kind_.columns) {
      if (field.recordNumber) continue;  // the records are matched by it
      const std::string inFile = FieldValue(field, file);
      const std::string onTerminal = FieldValue(field, terminal);
      if (inFile == onTerminal) continue;
      differs = true;
      Note({RecordDifference::Kind::Field, number, &field, Shown(field, inFile),
            Shown(field, onTerminal)});
    }
    ++(differs ? result_.different : result_.same);
  }
  RecordComparison Result() && {
    for (const RecordDifference& difference : result_.found) {
      if (result_.differences.size() == options_.listed) break;
      result_.differences.push_back(DifferenceText(kind_, difference));
    }
    result_.unlisted = static_cast<int>(result_.found.size() - result_.differences.size());
    return std::move(result_);
  }

 private:
  std::string Shown(const KindColumn& field, const std::string& value) const {
    return field.type == FieldType::Text && options_.display ? options_.display(value) : value;
  }
  void Note(RecordDifference difference) { result_.found.push_back(std::move(difference)); }

  const RecordKind& kind_;
  const CompareOptions& options_;
  RecordComparison result_;
};

}  // namespace

std::string DifferenceText(const RecordKind& kind, const RecordDifference& difference) {
  const std::string record = RecordName(kind, difference.number);
  switch (difference.kind) {
    case RecordDifference::Kind::Missing:
      return record + ": missing on the terminal";
    case RecordDifference::Kind::Extra:
      return record + ": only on the terminal";
    case RecordDifference::Kind::Field:
      break;
  }
  const KindColumn& field = *difference.column;
  return record + " " + field.name + ": " + ShownValue(field, difference.inFile, {}) +
         " in the file, " + ShownValue(field, difference.onTerminal, {}) + " on the terminal";
}

RecordComparison CompareWithFile(const CheckedDownload& file,
                                 const std::vector<std::vector<uint8_t>>& terminal,
                                 const CompareOptions& options) {
  const RecordKind& kind = file.Kind();
  const RecordsByNumber inFile = ByNumber(file.Records());
  const RecordsByNumber onTerminal = ByNumber(kind, terminal);
  Comparer comparer(kind, options);
  // A read-back that stopped short saw nothing above its last record.
  const bool whole = options.unproven.empty();
  const int64_t lastRead = onTerminal.empty() ? INT64_MIN : onTerminal.rbegin()->first;
  auto f = inFile.begin();
  auto t = onTerminal.begin();
  // Both maps walked together in record number order.
  while (f != inFile.end() || t != onTerminal.end()) {
    if (t == onTerminal.end() && !whole && f->first > lastRead) {
      comparer.Unseen();
      ++f;
    } else if (t == onTerminal.end() || (f != inFile.end() && f->first < t->first)) {
      comparer.Missing((f++)->first);
    } else if (f == inFile.end() || t->first < f->first) {
      comparer.Extra((t++)->first);
    } else {
      comparer.Both(f->first, f->second, t->second);
      ++f;
      ++t;
    }
  }
  RecordComparison result = std::move(comparer).Result();
  result.unproven = options.unproven;
  return result;
}
