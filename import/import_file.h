// What an import writes: the download file of the lines taken, and beside it
// the refused lines with their line in the export and the reason. The
// download file is read back exactly as a send reads it before it takes the
// place of the old one, and it is replaced atomically (temporary file,
// flush, rename): the old file stays whole when anything fails.
#pragma once

#include <string>

#include "import/shop_export.h"

// The file of refused lines beside `downloadFile`.
std::string RefusedFileFor(const std::string& downloadFile);

struct ImportWritten {
  bool written = false;
  int records = 0;
  std::string refusedFile;  // written when --skip-bad left lines out; else empty
  std::string error;        // why nothing was written
};

// Writes `taken` as the download file `path` of the profile's kind, in the
// terminals' character set: not at all while a line is refused, unless
// `skipBad`, which writes the good lines and the refused ones beside it.
ImportWritten WriteImport(const ShopImport& taken, const ImportProfile& profile,
                          const std::string& source, const std::string& path,
                          const CodePage& terminalSet, bool skipBad);
