#include "records/record_compare.h"

#include <cstdint>
#include <map>
#include <span>
#include <utility>

#include "records/record_fields.h"
#include "records/record_tables.h"

namespace {

using Bytes = std::span<const uint8_t>;
using RecordsByNumber = std::map<int64_t, Bytes>;

template <class Record>
Bytes BytesOf(const Record& record) {
  return {reinterpret_cast<const uint8_t*>(&record), sizeof record};
}

// The file's records in the order they were read.
std::vector<Bytes> FileRecords(uint8_t code, int total) {
  std::vector<Bytes> records;
  auto take = [&](auto& table) {
    for (int position = 1; position <= total && position <= kTableCapacity; ++position) {
      records.push_back(BytesOf(table.At(position)));
    }
  };
  switch (code) {
    case kCodePlu:
      take(PluTable);
      break;
    case kCodeBarcode:
      take(BarcodeTable);
      break;
    case kCodeIngredient:
      take(IngredientTable);
      break;
    case kCodeScrollMsg:
      take(ScrollMsgTable);
      break;
    case kCodeSpeedkey:
      if (total >= 1) records.push_back(BytesOf(SpeedkeyData));
      break;
    default:
      break;
  }
  return records;
}

// By record number, a later record replacing an earlier one of its number.
template <class List>
RecordsByNumber ByNumber(const RecordFields& kind, const List& records) {
  RecordsByNumber numbered;
  for (const auto& record : records) {
    const Bytes bytes(record.data(), record.size());
    numbered[kind.numbered ? FieldNumber(kind.number, bytes) : 1] = bytes;
  }
  return numbered;
}

class Comparer {
 public:
  Comparer(const RecordFields& kind, const CompareOptions& options)
      : kind_(kind), options_(options) {}

  void Unseen() { ++result_.unseen; }
  void Missing(int64_t number) {
    ++result_.missing;
    Note(Record(number) + ": missing on the terminal");
  }
  void Extra(int64_t number) {
    ++result_.extra;
    Note(Record(number) + ": only on the terminal");
  }
  void Both(int64_t number, Bytes file, Bytes terminal) {
    bool differs = false;
    for (const RecordField& field : kind_.fields) {
      const std::string inFile = Value(field, file);
      const std::string onTerminal = Value(field, terminal);
      if (inFile == onTerminal) continue;
      differs = true;
      Note(Record(number) + " " + field.name + ": " + Shown(field, inFile) + " in the file, " +
           Shown(field, onTerminal) + " on the terminal");
    }
    ++(differs ? result_.different : result_.same);
  }
  RecordComparison Result() && { return std::move(result_); }

 private:
  std::string Record(int64_t number) const {
    return kind_.numbered ? std::string(kind_.label) + " " + std::to_string(number) : kind_.label;
  }
  static std::string Value(const RecordField& field, Bytes record) {
    return field.type == FieldType::Text ? FieldText(field, record)
                                         : std::to_string(FieldNumber(field, record));
  }
  std::string Shown(const RecordField& field, const std::string& value) const {
    if (field.type != FieldType::Text) return value;
    return "\"" + (options_.display ? options_.display(value) : value) + "\"";
  }
  void Note(std::string difference) {
    if (result_.differences.size() < options_.listed) {
      result_.differences.push_back(std::move(difference));
    } else {
      ++result_.unlisted;
    }
  }

  const RecordFields& kind_;
  const CompareOptions& options_;
  RecordComparison result_;
};

}  // namespace

RecordComparison CompareWithFile(uint8_t code, int total,
                                 const std::vector<std::vector<uint8_t>>& terminal,
                                 const CompareOptions& options) {
  const RecordFields* kind = DownloadedFields(code);
  if (!kind) return {};
  const RecordsByNumber inFile = ByNumber(*kind, FileRecords(code, total));
  const RecordsByNumber onTerminal = ByNumber(*kind, terminal);
  Comparer comparer(*kind, options);
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
