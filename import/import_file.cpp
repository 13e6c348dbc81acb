#include "import/import_file.h"

#include <filesystem>

#include "records/download_files.h"
#include "settings/atomic_file.h"

namespace {

std::string DownloadBytes(const ShopImport& taken, const ImportProfile& profile,
                          const std::string& source) {
  std::string bytes;
  // A file of one record (the speedkey's) has no comment line: its first line is the record.
  if (profile.kind->numbered) {
    bytes = "; " + std::string(profile.kind->label) + " download file imported from " +
            std::filesystem::path(source).filename().string() + " by the profile " + profile.name +
            ":";
    for (const KindColumn& column : profile.kind->columns) {
      bytes += (&column == &profile.kind->columns.front() ? " " : ", ") + column.name;
    }
    bytes += "\r\n";
  }
  for (const ImportedLine& line : taken.lines) bytes += line.bytes + "\r\n";
  return bytes;
}

std::string RefusedBytes(const ShopImport& taken, const std::string& source) {
  std::string bytes = "; lines of " + source + " not imported: line, reason, the line\r\n";
  for (const RefusedLine& line : taken.refused) {
    bytes += "line " + std::to_string(line.line) + "\t" + line.reason + "\t" + line.text + "\r\n";
  }
  return bytes;
}

// Reads `bytes` as a send reads the download file, from a file beside `path`.
std::string CheckedAsSent(const std::string& bytes, const std::string& path, const RecordKind& kind,
                          const CodePage& terminalSet) {
  const std::string check = path + ".import-check";
  if (!ReplaceFileAtomically(check, bytes)) return "the file " + check + " cannot be written";
  const DownloadFileRead read = ReadDownloadFile(kind, check, terminalSet);
  std::filesystem::remove(check);
  return read.error ? read.error->Describe(path) : "";
}

}  // namespace

std::string RefusedFileFor(const std::string& downloadFile) {
  return downloadFile + ".refused.txt";
}

ImportWritten WriteImport(const ShopImport& taken, const ImportProfile& profile,
                          const std::string& source, const std::string& path,
                          const CodePage& terminalSet, bool skipBad) {
  ImportWritten written;
  if (!taken.error.empty()) return {false, 0, {}, taken.error};
  if (!taken.refused.empty() && !skipBad) {
    written.error = std::to_string(taken.refused.size()) +
                    (taken.refused.size() == 1 ? " line is" : " lines are") +
                    " refused; nothing is written (--skip-bad writes the others)";
    return written;
  }
  if (taken.lines.empty()) return {false, 0, {}, "no line of the export can be taken"};
  const std::string bytes = DownloadBytes(taken, profile, source);
  written.error = CheckedAsSent(bytes, path, *profile.kind, terminalSet);
  if (!written.error.empty()) return written;
  const std::string refused = RefusedFileFor(path);
  if (!taken.refused.empty()) {
    if (!ReplaceFileAtomically(refused, RefusedBytes(taken, source))) {
      written.error = "the file " + refused + " cannot be written; nothing is written";
      return written;
    }
    written.refusedFile = refused;
  } else {
    std::error_code ignored;  // a list from an earlier import would name lines of another file
    std::filesystem::remove(refused, ignored);
  }
  if (!ReplaceFileAtomically(path, bytes)) {
    written.error = "the file " + path + " cannot be written";
    return written;
  }
  written.written = true;
  written.records = static_cast<int>(taken.lines.size());
  return written;
}
