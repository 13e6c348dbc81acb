#include "session/prepared_download.h"

#include "records/records.h"

namespace {

DownloadFileRead ReadOfCode(uint8_t code, const std::string& path) {
  switch (code) {
    case kCodePlu:
      return ReadPluFile(path);
    case kCodeBarcode:
      return ReadBarcodeFile(path);
    case kCodeIngredient:
      return ReadIngredientFile(path);
    case kCodeScrollMsg:
      return ReadScrollMsgFile(path);
    case kCodeSpeedkey:
      return ReadSpeedkeyFile(path);
    default:
      return {};
  }
}

}  // namespace

PreparedDownload PrepareDownload(uint8_t code, const std::string& path, DownloadFileRead& read) {
  read = ReadOfCode(code, path);
  if (read.error) return {};
  return PreparedDownload{code, static_cast<uint32_t>(read.records < 0 ? 0 : read.records)};
}
