// A download file of one kind read in a test, and its records in their
// layouts, by position in the file from 1.
#pragma once

#include <cstring>
#include <string>

#include "records/download_files.h"

inline DownloadFileRead ReadKindFile(uint8_t code, const std::string& path,
                                     const CodePage& codePage) {
  return ReadDownloadFile(*KindOfCode(code), path, codePage);
}
inline DownloadFileRead ReadPluFile(const std::string& path, const CodePage& codePage) {
  return ReadKindFile(kCodePlu, path, codePage);
}
inline DownloadFileRead ReadBarcodeFile(const std::string& path, const CodePage& codePage) {
  return ReadKindFile(kCodeBarcode, path, codePage);
}
inline DownloadFileRead ReadIngredientFile(const std::string& path, const CodePage& codePage) {
  return ReadKindFile(kCodeIngredient, path, codePage);
}
inline DownloadFileRead ReadScrollMsgFile(const std::string& path, const CodePage& codePage) {
  return ReadKindFile(kCodeScrollMsg, path, codePage);
}
inline DownloadFileRead ReadSpeedkeyFile(const std::string& path, const CodePage& codePage) {
  return ReadKindFile(kCodeSpeedkey, path, codePage);
}

// The record at `position` (from 1) of a checked download, as its layout.
template <class Record>
Record RecordAt(const CheckedDownload& download, int position) {
  Record record;
  const auto& bytes = download.Records()[static_cast<std::size_t>(position - 1)].bytes;
  std::memcpy(&record, bytes.data(), sizeof record);
  return record;
}
