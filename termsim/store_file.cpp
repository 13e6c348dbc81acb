#include "termsim/store_file.h"

#include <fcntl.h>
#include <unistd.h>

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
constexpr uint8_t kStoreVersion = 1;
constexpr size_t kStoreHeaderSize = 8;

std::array<uint8_t, kStoreHeaderSize> StoreHeader(const termlink::RecordKind& kind) {
  return {kStoreMagic[0],
          kStoreMagic[1],
          kStoreMagic[2],
          kStoreMagic[3],
          kStoreVersion,
          kind.code,
          static_cast<uint8_t>(kind.size),
          static_cast<uint8_t>(kind.size >> 8)};
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

}  // namespace

int64_t RecordKey(const termlink::RecordKind& kind, std::span<const uint8_t> record) {
  return kind.code == kCodeSpeedkey ? 1 : termlink::RecordNumber(kind, record);
}

RecordMap ReadStoreFile(const std::string& path, const termlink::RecordKind& kind) {
  std::ifstream in(path, std::ios::binary);
  RecordMap records;
  if (!in) return records;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (bytes.empty()) return records;
  auto header = StoreHeader(kind);
  if (bytes.size() < header.size() || !std::equal(header.begin(), header.end(), bytes.begin())) {
    throw std::runtime_error(path + " is not a store file of " + kind.name + " records");
  }
  for (size_t at = header.size(); at + kind.size <= bytes.size(); at += kind.size) {
    std::span<const uint8_t> record(bytes.data() + at, kind.size);
    records[RecordKey(kind, record)].assign(record.begin(), record.end());
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

bool StoreFile::Append(std::span<const uint8_t> record, const RecordMap& records) {
  if (fd_ < 0) return false;
  if (!WriteAll(fd_, record.data(), record.size())) {
    // Cut off what part of the record went out, or every later record
    // would be read out of step.
    if (ftruncate(fd_, static_cast<off_t>(kStoreHeaderSize + written_ * kind_.size)) != 0) {
      close(fd_);
      fd_ = -1;
    }
    return false;
  }
  ++written_;
  if (written_ > 2 * records.size() + 64) {
    try {
      Rewrite(records);
    } catch (const std::exception& error) {
      // The record is safe in the journal; only the compaction failed.
      std::cerr << "orlent-termsim: " << error.what() << "\n";
    }
  }
  return true;
}

void StoreFile::Rewrite(const RecordMap& records) {
  std::string temporary = path_ + ".tmp";
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw Failure("cannot create", temporary);
  auto header = StoreHeader(kind_);
  bool written = WriteAll(fd, header.data(), header.size());
  for (const auto& [key, record] : records) {
    written = written && WriteAll(fd, record.data(), record.size());
  }
  written = written && fsync(fd) == 0;
  close(fd);
  if (!written || rename(temporary.c_str(), path_.c_str()) != 0) {
    unlink(temporary.c_str());
    throw Failure("cannot write", path_);
  }
  written_ = records.size();
  OpenForAppend();
}

void StoreFile::OpenForAppend() {
  if (fd_ >= 0) close(fd_);
  fd_ = open(path_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd_ < 0) throw Failure("cannot open", path_);
}
