#include "session/prepared_download.h"

#include <utility>

const std::vector<DownloadRecord>& PreparedDownload::Records() const {
  static const std::vector<DownloadRecord> kNone;
  return records ? *records : kNone;
}

const std::vector<int64_t>& PreparedDownload::Deletes() const {
  static const std::vector<int64_t> kNone;
  return deletes ? *deletes : kNone;
}

PreparedDownload EveryRecord(std::shared_ptr<const CheckedDownload> file) {
  PreparedDownload download;
  if (!file) return download;
  download.records = std::make_shared<const std::vector<DownloadRecord>>(file->Records().begin(),
                                                                         file->Records().end());
  download.file = std::move(file);
  return download;
}

PreparedDownload PrepareDownload(uint8_t code, const std::string& path, const CodePage& codePage,
                                 DownloadFileRead& read) {
  const RecordKind* kind = KindOfCode(code);
  read = kind && kind->writable ? ReadDownloadFile(*kind, path, codePage) : DownloadFileRead{};
  return EveryRecord(read.download);
}
