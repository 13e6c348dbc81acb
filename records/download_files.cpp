#include "records/download_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "records/download_line.h"
#include "records/line_reader.h"

namespace {

// The records of a file as they are read: zeroed, then filled column by column.
class RecordsRead {
 public:
  explicit RecordsRead(const RecordKind& kind) : kind_(kind) {}

  // Room for the records a file of `fileBytes` bytes can hold: a line holds
  // at least a character and a tab or line end per column. One allocation
  // instead of a copy each time the records outgrow their room.
  void Reserve(uintmax_t fileBytes) {
    const uintmax_t most = fileBytes / (2 * kind_.columns.size()) + 1;
    const auto count = static_cast<std::size_t>(std::min<uintmax_t>(most, kDownloadCapacity));
    bytes_.reserve(count * kind_.size);
    lines_.reserve(count);
  }
  int Count() const { return static_cast<int>(lines_.size()); }
  // Takes the kind's columns of `in`, in their order, into a new record.
  void Add(const LineColumns& in, int line) {
    const std::size_t at = bytes_.size();
    bytes_.resize(at + kind_.size);
    uint8_t* record = bytes_.data() + at;
    int column = 0;
    for (const KindColumn& field : kind_.columns) Take(in, ++column, field, record + field.offset);
    // The one speedkey record of a file is numbered 1.
    if (!kind_.numbered) record[kind_.numberOffset] = 1;
    lines_.push_back(line);
  }
  std::shared_ptr<const CheckedDownload> Checked() && {
    return std::make_shared<const CheckedDownload>(kind_, std::move(bytes_), lines_);
  }

 private:
  // One column into its field, little-endian; a narrow field keeps its low bytes.
  static void Take(const LineColumns& in, int column, const KindColumn& field, uint8_t* at) {
    if (field.type == FieldType::Text) {
      const std::string_view text = in.Text(column, field.size);
      // An empty column's text may point nowhere.
      if (!text.empty()) std::memcpy(at, text.data(), text.size());
      at[text.size()] = '\0';
      return;
    }
    uint32_t value;
    if (field.type == FieldType::Signed) {
      value = static_cast<uint32_t>(field.recordNumber ? in.PluNumber(column) : in.Number(column));
    } else {
      value =
          field.recordNumber ? in.RecordNumber(column) : in.Unsigned(column, UnsignedMax(field));
    }
    std::memcpy(at, &value, field.size);
  }

  const RecordKind& kind_;
  std::vector<uint8_t> bytes_;
  std::vector<int> lines_;
};

// The common parse loop: every data line becomes the next record. The whole
// file is read: any fault refuses it, so that nothing of a broken file is
// ever sent.
void ReadLines(LineReader& reader, DownloadText& texts, RecordsRead& records) {
  std::string line;
  while (reader.ReadLine(line)) {
    if (IsSkippedLine(line)) continue;
    if (records.Count() == kDownloadCapacity) throw TooManyRecords(reader.LineNumber());
    records.Add(LineColumns(line, reader.LineNumber(), texts), reader.LineNumber());
  }
  if (records.Count() == 0) {
    throw DownloadFileError(kInputFileError, 0, 0, "the file holds no records");
  }
}

// The speedkey file holds one record in its first line; there is no
// comment-line rule, and the rest of the file is never read. Its columns are
// all numbers, so no text of it is ever converted.
void ReadFirstLine(LineReader& reader, DownloadText& texts, RecordsRead& records) {
  std::string line;
  if (!reader.ReadLine(line) || line.empty()) {
    throw DownloadFileError(kInputFileError, 1, 0, "the first line is empty, it holds no record");
  }
  records.Add(LineColumns(line, 1, texts), 1);
}

}  // namespace

DownloadFileRead ReadDownloadFile(const RecordKind& kind, const std::string& path,
                                  const CodePage& codePage) {
  try {
    LineReader reader(path);
    reader.RequireOpen();
    DownloadText texts(path, codePage);
    RecordsRead records(kind);
    std::error_code unknown;
    const uintmax_t fileBytes = std::filesystem::file_size(path, unknown);
    if (!unknown && kind.numbered) records.Reserve(fileBytes);
    if (kind.numbered) {
      ReadLines(reader, texts, records);
    } else {
      ReadFirstLine(reader, texts, records);
    }
    const int count = records.Count();
    return DownloadFileRead{count, std::move(records).Checked(), std::nullopt};
  } catch (const DownloadFileError& error) {
    return DownloadFileRead{0, nullptr, error};
  }
}
