// HeldStore: what each terminal holds, kept in an SQLite database in the
// program folder (Orlent.db): per terminal (its address and port) and data
// type code, for every record number the fields and their digest, when the
// terminal acknowledged the record or was read to hold it, and from which
// file. A row is written only after the terminal acknowledged that record
// under its own number, so the database never claims more than a terminal
// holds. WAL mode and a busy time-out let two Orlent processes of one folder
// serve different terminals at once. Nothing here knows sessions or windows.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "records/checked_download.h"

struct sqlite3;

// The terminal rows belong to: its address as TerminalIdentity gives it, and its port.
struct HeldTerminal {
  std::string address;
  int port = 0;
  auto operator<=>(const HeldTerminal&) const = default;
};

struct HeldRecord {
  int64_t number = 0;
  uint64_t digest = 0;          // DigestOf(fields)
  std::vector<uint8_t> fields;  // FieldsOf the record the terminal holds
  int64_t when = 0;             // seconds since the epoch: acknowledged, or read
  std::string file;             // the download file it came from; empty when it was read
};

// One terminal's records of one kind, by record number.
using HeldRecords = std::map<int64_t, HeldRecord>;

// What is held of one kind on one terminal, for a listing.
struct HeldSummary {
  HeldTerminal terminal;
  uint8_t code = 0;
  int64_t records = 0;
  int64_t lastWhen = 0;  // the latest row's time
  std::string file;      // the file of the latest row; empty when it was read
};

class HeldStore {
 public:
  // Opens `path`, making it when it does not exist. Nothing (and `problem`
  // says why, once, in the operator's words) when it cannot be used: a file
  // that is not a database or is damaged is first set aside under
  // `path` + ".damaged-YYYYMMDD-HHMMSS" and a new one made in its place (the
  // store is then returned with `problem` saying so); only when that fails
  // too, or the folder cannot be written, or the database stays locked
  // beyond `busy`, is there no store. `problem` is empty when all was well.
  static std::unique_ptr<HeldStore> Open(const std::string& path, std::string& problem,
                                         std::chrono::milliseconds busy = std::chrono::seconds(5));
  ~HeldStore();
  HeldStore(const HeldStore&) = delete;
  HeldStore& operator=(const HeldStore&) = delete;

  const std::string& Path() const { return path_; }

  // Every row of `terminal`'s records of `code`; nothing, with `error` set,
  // when they cannot be read.
  std::optional<HeldRecords> Records(const HeldTerminal& terminal, uint8_t code,
                                     std::string& error);
  // True when any row of any terminal is held.
  bool AnyHeld();
  // What is held per terminal and kind, in address, port and code order;
  // `address` empty: of every terminal; `code` 0: of every kind.
  std::optional<std::vector<HeldSummary>> Summaries(const std::string& address, uint8_t code,
                                                    std::string& error);
  // Forgets every row of `address` (on every port). False with `error` set
  // when the rows could not be removed.
  bool Forget(const std::string& address, std::string& error);
  // A read of `terminal`'s records of `code` (each record whole, as the
  // terminal answered it, in the order it answered) replaces its held rows
  // of that kind: the rows of the records read are written, and the rows of
  // numbers up to the last one read that the read did not see are removed;
  // with `whole` (the read saw every record the terminal holds) every other
  // row of the kind is removed too.
  bool ReplaceWithRead(const HeldTerminal& terminal, uint8_t code,
                       const std::vector<std::vector<uint8_t>>& records, bool whole,
                       std::string& error);

 private:
  friend class HeldBatch;
  HeldStore(std::string path, sqlite3* db) : path_(std::move(path)), db_(db) {}
  std::string path_;
  sqlite3* db_;
  std::mutex mutex_;  // one statement or transaction on the connection at a time
};

// A batch commits when this many rows are pending, or when the first of them
// has waited this long.
inline constexpr std::size_t kHeldBatchRows = 256;
inline constexpr std::chrono::milliseconds kHeldBatchWait{250};

// The rows of one terminal's transfer of one kind, written in batches: a
// commit every 256 rows or a quarter of a second after the first row not yet
// committed, and at Commit() (the end of the terminal's transfer). A kill at
// any moment loses at most the rows not yet committed.
class HeldBatch {
 public:
  using Clock = std::chrono::steady_clock;
  // `code` is a kind of the table of record kinds; `file` is the download
  // file the records come from. `wait` is kHeldBatchWait but in tests.
  HeldBatch(HeldStore& store, HeldTerminal terminal, uint8_t code, std::string file,
            Clock::duration wait = kHeldBatchWait);
  ~HeldBatch();  // commits what is left; a failure then only costs those records a resend
  HeldBatch(const HeldBatch&) = delete;
  HeldBatch& operator=(const HeldBatch&) = delete;

  // Before the first record is sent: forgets, in one transaction, the rows of
  // the records about to be sent that are held with other fields, so that
  // until their acknowledgment the database claims neither the old record
  // nor the new one.
  bool Begin(std::span<const DownloadRecord> toSend, std::string& error);
  // The terminal acknowledged record `number` holding `record` (whole, of the kind's size).
  void Stored(int64_t number, std::span<const uint8_t> record);
  // The terminal acknowledged the deletion of record `number`.
  void Deleted(int64_t number);
  // Commits the rows not yet committed. False with `error` set when they
  // could not be (they are then dropped: the records are simply sent again).
  bool Commit(std::string& error);
  // The first failure of a commit made on the way; empty when there was none.
  const std::string& Failure() const { return failure_; }

 private:
  struct Pending;
  void CommitWhenDue();
  void Failed(const std::string& error);
  HeldStore& store_;
  HeldTerminal terminal_;
  uint8_t code_;
  std::string file_;
  Clock::duration wait_;
  std::unique_ptr<Pending> pending_;
  std::string failure_;
};
