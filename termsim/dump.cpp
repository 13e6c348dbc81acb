#include "termsim/dump.h"

#include <filesystem>
#include <stdexcept>

#include "records/record_fields.h"
#include "termsim/store_file.h"

namespace {

// A record as its download file's line: the kind's columns in their order,
// separated by tabs, numbers in decimal with their sign, texts up to their end.
void PrintRecord(const RecordKind& kind, const std::vector<uint8_t>& bytes, std::ostream& out) {
  const char* separator = "";
  for (const KindColumn& column : kind.columns) {
    out << separator;
    separator = "\t";
    if (column.type == FieldType::Text) {
      out << FieldText(column, bytes);
    } else {
      out << FieldNumber(column, bytes);
    }
  }
  out << '\n';
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
  for (const auto& [key, bytes] : records) PrintRecord(*kind, bytes, out);
}
