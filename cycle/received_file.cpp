#include "cycle/received_file.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "cycle/new_file.h"
#include "records/record_kinds.h"

namespace {

// Long enough for any IPv6 address, short enough for the name to fit a file system's limit.
constexpr std::size_t kAddressInNameLimit = 120;

// True when anything, a dangling link too, has the name `path`.
bool Exists(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0;
}

}  // namespace

std::string ReceivedKindName(uint8_t code) {
  const RecordKind* kind = KindOfCode(code);
  return kind && kind->received ? kind->fileName : "";
}

std::string AddressInFileName(const std::string& address) {
  std::string name;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) || c == '.' || c == '-') {
      name += c;
    } else if (c == ':') {
      name += '-';
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      name += escaped;
    }
  }
  return name.substr(0, kAddressInNameLimit);
}

std::string ReceivedFileStem(uint8_t code, const std::string& address,
                             std::chrono::local_days day) {
  const std::chrono::year_month_day date(std::chrono::sys_days(day.time_since_epoch()));
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return ReceivedKindName(code) + "_" + AddressInFileName(address) + "_" + text;
}

bool IsReportCode(uint8_t code) {
  const RecordKind* kind = KindOfCode(code);
  return kind && kind->report;
}

std::string RecordsText(uint32_t count) {
  return std::to_string(count) + (count == 1 ? " record" : " records");
}

std::string IncompleteLine(uint32_t records, const std::string& path) {
  return "- Incomplete: " + RecordsText(records) + " kept in " + path;
}

ReceivedFile::ReceivedFile(std::string folder, std::string stem)
    : folder_(std::move(folder)), stem_(std::move(stem)) {
  const int fd = CreateNewFile(folder_, stem_, ".part", path_);
  file_ = UploadFile::Adopt(fd, path_);
}

const std::string& ReceivedFile::Keep(bool complete) {
  if (complete) {
    // A report's CSV takes the name of its file: a name whose CSV exists is taken too.
    path_ = MoveToNewName(path_, folder_, stem_, ".txt", [](const std::string& path) {
      return Exists(std::filesystem::path(path).replace_extension(".csv").string());
    });
  } else {
    path_ = MoveToNewName(path_, folder_, stem_ + "_incomplete", ".txt");
  }
  return path_;
}
