// The files a receive writes: one per terminal and kind, named by the kind,
// the terminal's address and the local date ("Report-Time_127.0.0.2_2026-12-08.txt"),
// so that receives of other kinds, terminals or days never meet. A receive
// writes into a new file of its own ("….part") and names it when it is over:
// the day's name, or the next free one ("…_2026-12-08_2.txt"), once the
// terminal's end arrived; "…_incomplete.txt" when the receive failed. No file
// that exists is ever written over or written through.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "session/upload_file.h"

// The kind's part of the name ("PLU", "Barcode", "Report-Time", ...); empty
// for a data type code no receive serves.
std::string ReceivedKindName(uint8_t code);

// The terminal's address as it stands in a file name: letters, digits, "."
// and "-" as they are, an IPv6 address's ":" as "-", every other byte as "%"
// and its two hex digits, so that no address names a path outside the
// folder; at most 120 bytes of it.
std::string AddressInFileName(const std::string& address);

// "PLU_127.0.0.2_2026-12-08": the name of the kind, address and day, without
// its number in the day's series and its extension.
std::string ReceivedFileStem(uint8_t code, const std::string& address, std::chrono::local_days day);

// True for the data type codes of the reports.
bool IsReportCode(uint8_t code);

// "10 records", "1 record".
std::string RecordsText(uint32_t count);

// The log line of a receive kept as incomplete: "- Incomplete: 10 records kept in <path>".
std::string IncompleteLine(uint32_t records, const std::string& path);

class ReceivedFile {
 public:
  // Creates "<stem>.part" in `folder`, or the next free name of it. Throws
  // std::runtime_error "Cannot create file "<path>". <reason>".
  ReceivedFile(std::string folder, std::string stem);

  // The open file that the received lines go to; handed over once.
  std::unique_ptr<UploadFile> TakeFile() { return std::move(file_); }
  // Where the file is now.
  const std::string& Path() const { return path_; }
  // The receive is over and its file closed: it takes "<stem>.txt", or the
  // next free name whose CSV does not exist either, when `complete`, else
  // "<stem>_incomplete.txt" or the next free one. Returns the file's name.
  // Throws std::runtime_error "Cannot rename file "<path>". <reason>".
  const std::string& Keep(bool complete);

 private:
  std::string folder_;
  std::string stem_;
  std::string path_;
  std::unique_ptr<UploadFile> file_;
};
