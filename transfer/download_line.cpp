#include "transfer/download_line.h"

#include "app/str_to_int.h"
#include "transfer/extract_field.h"
#include "transfer/record_tables.h"

std::string TooManyRecordsMessage(int lineNumber) {
  return "More than " + std::to_string(kTableCapacity) + " records in input file: line " +
         std::to_string(lineNumber) + " and those after it are not read !";
}

std::string_view LineColumns::Field(int column) const {
  MissingFieldFlag = false;
  const std::string_view field = ExtractField(line_, column, '\t');
  if (MissingFieldFlag) throw DownloadFileError(kInputFileError);
  return field;
}

int32_t LineColumns::Number(int column) const {
  const auto value = TryStrToInt(Field(column));
  if (!value) throw DownloadFileError(kIoError);
  return *value;
}

std::string_view LineColumns::Text(int column, std::size_t capacity) const {
  const std::string_view text = Field(column);
  if (text.size() >= capacity) {
    throw DownloadFileError("Text too long in line " + std::to_string(lineNumber_) + ", column " +
                            std::to_string(column) + ": " + std::to_string(text.size()) +
                            " characters, at most " + std::to_string(capacity - 1) + " fit !");
  }
  return text;
}
