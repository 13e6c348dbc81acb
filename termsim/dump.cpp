#include "termsim/dump.h"

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "records/records.h"
#include "termsim/store_file.h"

namespace {

template <size_t N>
std::string_view Text(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

// Download file columns are separated by tabs; unsigned fields print as
// unsigned numbers, i32 fields with their sign.
class Line {
 public:
  explicit Line(std::ostream& out) : out_(out) {}
  ~Line() { out_ << '\n'; }
  template <class Value>
  Line& operator<<(Value value) {  // by value: record fields are packed
    if (!first_) out_ << '\t';
    first_ = false;
    if constexpr (std::is_integral_v<Value>) {
      out_ << static_cast<int64_t>(value);
    } else {
      out_ << value;
    }
    return *this;
  }

 private:
  std::ostream& out_;
  bool first_ = true;
};

template <class Record>
Record As(const std::vector<uint8_t>& bytes) {
  Record record;
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}

void PrintRecord(uint8_t code, const std::vector<uint8_t>& bytes, std::ostream& out) {
  Line line(out);
  if (code == kCodePlu) {
    auto r = As<PluRecord>(bytes);
    line << r.Field1 << r.PluNo << r.Field3 << Text(r.Text) << r.Field5 << r.Field6 << r.Field7
         << r.Field8 << r.Field9;
  } else if (code == kCodeBarcode) {
    auto r = As<BarcodeRecord>(bytes);
    line << r.Number << r.Field2 << r.Field3 << Text(r.Text1) << Text(r.Text2);
  } else if (code == kCodeIngredient) {
    auto r = As<IngredientRecord>(bytes);
    line << r.Number << Text(r.Text);
  } else if (code == kCodeScrollMsg) {
    auto r = As<ScrollMsgRecord>(bytes);
    line << r.Number << Text(r.Text2) << r.Field3;
  } else {
    auto r = As<SpeedkeyRecord>(bytes);
    for (int i = 0; i < 72; ++i) line << r.KeyTable1[i];
    for (int i = 0; i < 72; ++i) line << r.KeyTable2[i];
  }
}

}  // namespace

void DumpRecords(const std::string& store, const std::string& address, const std::string& kindName,
                 std::ostream& out) {
  const termlink::RecordKind* kind = termlink::FindRecordKindByName(kindName);
  if (!kind || !kind->writable) throw std::runtime_error("no records of kind '" + kindName + "'");
  std::string folder = store + "/" + address;
  if (!std::filesystem::is_directory(folder)) {
    throw std::runtime_error("no terminal " + address + " in " + store);
  }
  RecordMap records = ReadStoreFile(folder + "/" + StoreFile::FileName(*kind), *kind);
  for (const auto& [key, bytes] : records) PrintRecord(kind->code, bytes, out);
}
