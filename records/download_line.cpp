#include "records/download_line.h"

#include <algorithm>

#include "records/checked_download.h"
#include "records/extract_field.h"
#include "records/record_numbers.h"
#include "text/str_to_int.h"

namespace {

std::string ColumnsOf(std::string_view line) {
  const auto count = std::count(line.begin(), line.end(), '\t') + 1;
  return std::to_string(count) + (count == 1 ? " column" : " columns");
}

std::string ControlName(unsigned char byte) {
  if (byte == '\r') return "CR";
  if (byte == '\n') return "LF";
  return Quoted(std::string(1, static_cast<char>(byte)));
}

}  // namespace

DownloadFileError TooManyRecords(int lineNumber) {
  return DownloadFileError(
      "More than " + std::to_string(kDownloadCapacity) + " records in input file: line " +
          std::to_string(lineNumber) + " and those after it are not read !",
      lineNumber, 0, "a file holds at most " + std::to_string(kDownloadCapacity) + " records");
}

DownloadFileError LineColumns::Refused(const std::string& message, int column,
                                       std::string reason) const {
  return DownloadFileError(message, lineNumber_, column, std::move(reason));
}

std::string_view LineColumns::Field(int column) const {
  MissingFieldFlag = false;
  const std::string_view field = ExtractField(line_, column, '\t');
  if (MissingFieldFlag) {
    throw Refused(kInputFileError, column, "the line has only " + ColumnsOf(line_));
  }
  return field;
}

int32_t LineColumns::Number(int column) const {
  const std::string_view text = Field(column);
  if (const auto value = TryStrToInt(text)) return *value;
  if (text.empty()) throw Refused(kIoError, column, "the column is empty, a number is needed");
  throw Refused(kIoError, column,
                Quoted(text) + " is not a whole number from -2147483648 to 2147483647");
}

uint32_t LineColumns::Unsigned(int column, uint32_t max) const {
  const int32_t value = Number(column);
  if (value >= 0 && static_cast<uint32_t>(value) <= max) return static_cast<uint32_t>(value);
  throw Refused(kIoError, column,
                std::to_string(value) + " does not fit 0 to " + std::to_string(max));
}

int32_t LineColumns::PluNumber(int column) const {
  const int32_t value = Number(column);
  if (IsFileRecordNumber(true, value)) return value;
  throw Refused(
      kIoError, column,
      std::to_string(value) +
          " is not a PLU number from 1 to 2147483647 other than 65535: a read-back of the "
          "terminal starts at 1, and an answer numbered 0 or 65535 ends it");
}

uint16_t LineColumns::RecordNumber(int column) const {
  const int32_t value = Number(column);
  if (IsFileRecordNumber(false, value)) return static_cast<uint16_t>(value);
  throw Refused(kIoError, column,
                std::to_string(value) +
                    " is not a record number from 1 to 65534: an answer numbered 0 or 65535 "
                    "ends a read-back of the terminal");
}

int64_t LineColumns::Value(int column, const KindColumn& field) const {
  if (field.type == FieldType::Signed) {
    return field.recordNumber ? PluNumber(column) : Number(column);
  }
  return field.recordNumber ? RecordNumber(column) : Unsigned(column, UnsignedMax(field));
}

std::string_view LineColumns::Text(int column, std::size_t capacity) const {
  const std::string_view text = texts_.InTerminalSet(Field(column), lineNumber_, column);
  if (text.size() >= capacity) {
    throw Refused("Text too long in line " + std::to_string(lineNumber_) + ", column " +
                      std::to_string(column) + ": " + std::to_string(text.size()) +
                      " characters, at most " + std::to_string(capacity - 1) + " fit !",
                  column, "");
  }
  const auto control = std::find_if(text.begin(), text.end(), IsControlCharacter);
  if (control != text.end()) {
    throw Refused(kInputFileError, column,
                  "the text holds the control character " +
                      ControlName(static_cast<unsigned char>(*control)) + " at character " +
                      std::to_string(control - text.begin() + 1));
  }
  return text;
}
