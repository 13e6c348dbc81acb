#include "session/prepared_download.h"

#include "records/records.h"

namespace {

DownloadFileRead ReadOfCode(uint8_t code, const std::string& path, const CodePage& codePage) {
  switch (code) {
    case kCodePlu:
      return ReadPluFile(path, codePage);
    case kCodeBarcode:
      return ReadBarcodeFile(path, codePage);
    case kCodeIngredient:
      return ReadIngredientFile(path, codePage);
    case kCodeScrollMsg:
      return ReadScrollMsgFile(path, codePage);
    case kCodeSpeedkey:
      return ReadSpeedkeyFile(path, codePage);
    default:
      return {};
  }
}

}  // namespace

PreparedDownload PrepareDownload(uint8_t code, const std::string& path, const CodePage& codePage,
                                 DownloadFileRead& read) {
  read = ReadOfCode(code, path, codePage);
  if (read.error) return {};
  return PreparedDownload{code, static_cast<uint32_t>(read.records < 0 ? 0 : read.records)};
}
