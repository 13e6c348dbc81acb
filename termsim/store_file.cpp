#include "termsim/store_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "records/records.h"

namespace {

constexpr std::array<uint8_t, 4> kStoreMagic = {'O', 'T', 'S', 'F'};
constexpr uint8_t kRecordsVersion = 1;  // whole records only, a later one replacing an earlier
constexpr uint8_t kJournalVersion = 2;  // tagged entries: puts and deletes
constexpr size_t kStoreHeaderSize = 8;
constexpr uint8_t kPutTag = 1;     // followed by the whole record
constexpr uint8_t kDeleteTag = 2;  // followed by the key as i64
constexpr size_t kKeySize = 8;

std::array<uint8_t, kStoreHeaderSize> StoreHeader(const termlink::RecordKind& kind,
                                                  uint8_t version) {
  return {kStoreMagic[0],
          kStoreMagic[1],
          kStoreMagic[2],
          kStoreMagic[3],
          version,
          kind.code,
          static_cast<uint8_t>(kind.size),
          static_cast<uint8_t>(kind.size >> 8)};
}

// The version of a file whose header is that of `kind`, or 0.
uint8_t StoreVersion(const std::vector<uint8_t>& bytes, const termlink::RecordKind& kind) {
  if (bytes.size() < kStoreHeaderSize) return 0;
  for (uint8_t version : {kRecordsVersion, kJournalVersion}) {
    auto header = StoreHeader(kind, version);
    if (std::equal(header.begin(), header.end(), bytes.begin())) return version;
  }
  return 0;
}

std::runtime_error Failure(const std::string& what, const std::string& path) {
  return std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

bool WriteAll(int fd, const uint8_t* bytes, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::vector<uint8_t> PutEntry(std::span<const uint8_t> record) {
  // Sized first: an insert into a one-byte vector trips g++ 12's bounds check at -O3.
  std::vector<uint8_t> entry(1 + record.size());
  entry[0] = kPutTag;
  std::copy(record.begin(), record.end(), entry.begin() + 1);
  return entry;
}

std::vector<uint8_t> DeleteEntry(int64_t key) {
  std::vector<uint8_t> entry{kDeleteTag};
  for (size_t i = 0; i < kKeySize; ++i) {
    entry.push_back(static_cast<uint8_t>(static_cast<uint64_t>(key) >> (8 * i)));
  }
  return entry;
}

int64_t KeyAt(const uint8_t* bytes) {
  uint64_t key = 0;
  for (size_t i = 0; i < kKeySize; ++i) key |= uint64_t{bytes[i]} << (8 * i);
  return static_cast<int64_t>(key);
}

void ReadRecords(const std::vector<uint8_t>& bytes, const termlink::RecordKind& kind,
                 RecordMap& records) {
  for (size_t at = kStoreHeaderSize; at + kind.size <= bytes.size(); at += kind.size) {
    std::span<const uint8_t> record(bytes.data() + at, kind.size);
    records[RecordKey(kind, record)].assign(record.begin(), record.end());
  }
}

// Replays the entries in file order; an entry cut short ends the journal.
void ReadEntries(const std::vector<uint8_t>& bytes, const termlink::RecordKind& kind,
                 const std::string& path, RecordMap& records) {
  size_t at = kStoreHeaderSize;
  while (at < bytes.size()) {
    const uint8_t tag = bytes[at];
    if (tag != kPutTag && tag != kDeleteTag) {
      // Appends never leave such a byte: the file was damaged, and a rewrite
      // would lose what follows.
      throw std::runtime_error(path + " is damaged: no entry at byte " + std::to_string(at));
    }
    const size_t size = tag == kPutTag ? kind.size : kKeySize;
    if (bytes.size() - at - 1 < size) return;
    const uint8_t* payload = bytes.data() + at + 1;
    if (tag == kPutTag) {
      std::span<const uint8_t> record(payload, size);
      records[RecordKey(kind, record)].assign(record.begin(), record.end());
    } else {
      records.erase(KeyAt(payload));
    }
    at += 1 + size;
  }
}

}  // namespace

int64_t RecordKey(const termlink::RecordKind& kind, std::span<const uint8_t> record) {
  return NumberKey(kind, termlink::RecordNumber(kind, record));
}

int64_t NumberKey(const termlink::RecordKind& kind, int64_t number) {
  return kind.code == kCodeSpeedkey ? 1 : number;
}

RecordMap ReadStoreFile(const std::string& path, const termlink::RecordKind& kind) {
  std::ifstream in(path, std::ios::binary);
  RecordMap records;
  if (!in) return records;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (bytes.empty()) return records;
  switch (StoreVersion(bytes, kind)) {
    case kRecordsVersion:
      ReadRecords(bytes, kind, records);
      break;
    case kJournalVersion:
      ReadEntries(bytes, kind, path, records);
      break;
    default:
      throw std::runtime_error(path + " is not a store file of " + kind.name + " records");
  }
  return records;
}

StoreFile::StoreFile(const std::string& folder, const termlink::RecordKind& kind,
                     RecordMap& records)
    : path_(folder + "/" + FileName(kind)), kind_(kind) {
  records = ReadStoreFile(path_, kind);
  Rewrite(records);
}

StoreFile::~StoreFile() {
  if (fd_ >= 0) close(fd_);
}

std::string StoreFile::FileName(const termlink::RecordKind& kind) {
  return std::string(kind.name) + ".dat";
}

bool StoreFile::AppendPut(std::span<const uint8_t> record) {
  return Append(PutEntry(record));
}

bool StoreFile::AppendDelete(int64_t key) {
  return Append(DeleteEntry(key));
}

bool StoreFile::Append(const std::vector<uint8_t>& entry) {
  if (fd_ < 0) return false;
  if (!WriteAll(fd_, entry.data(), entry.size())) {
    // Cut off what part of the entry went out, or every later entry would
    // be read out of step.
    if (ftruncate(fd_, static_cast<off_t>(size_)) != 0) {
      close(fd_);
      fd_ = -1;
    }
    return false;
  }
  size_ += entry.size();
  ++entries_;
  return true;
}

void StoreFile::CompactIfDue(const RecordMap& records) {
  if (entries_ <= 2 * records.size() + 64) return;
  try {
    Rewrite(records);
  } catch (const std::exception& error) {
    std::cerr << "orlent-termsim: " << error.what() << "\n";
  }
}

void StoreFile::Rewrite(const RecordMap& records) {
  std::string temporary = path_ + ".tmp";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw Failure("cannot create", temporary);
  auto header = StoreHeader(kind_, kJournalVersion);
  bool written = WriteAll(fd, header.data(), header.size());
  size_t size = header.size();
  for (const auto& [key, record] : records) {
    std::vector<uint8_t> entry = PutEntry(record);
    written = written && WriteAll(fd, entry.data(), entry.size());
    size += entry.size();
  }
  written = written && fsync(fd) == 0;
  close(fd);
  if (!written || rename(temporary.c_str(), path_.c_str()) != 0) {
    unlink(temporary.c_str());
    throw Failure("cannot write", path_);
  }
  size_ = size;
  entries_ = records.size();
  OpenForAppend();
}

void StoreFile::OpenForAppend() {
  if (fd_ >= 0) close(fd_);
  fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd_ < 0) throw Failure("cannot open", path_);
}
