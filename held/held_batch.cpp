#include <optional>

#include "held/held_rows.h"
#include "held/held_store.h"
#include "held/record_digest.h"

// One acknowledged row not yet committed: a stored record's fields, or a deletion.
struct HeldBatch::Pending {
  struct Row {
    int64_t number;
    std::optional<std::vector<uint8_t>> fields;  // nothing: deleted
    int64_t when;
  };
  std::vector<Row> rows;
  Clock::time_point first;  // when the first of them came
};

HeldBatch::HeldBatch(HeldStore& store, HeldTerminal terminal, uint8_t code, std::string file,
                     Clock::duration wait)
    : store_(store),
      terminal_(std::move(terminal)),
      code_(code),
      file_(std::move(file)),
      wait_(wait),
      pending_(std::make_unique<Pending>()) {}

HeldBatch::~HeldBatch() {
  std::string error;
  Commit(error);
}

bool HeldBatch::Begin(std::span<const DownloadRecord> toSend, std::string& error) {
  const RecordKind* kind = KindOfCode(code_);
  if (!kind) {
    error = "no kind of records has the data type code " + std::to_string(code_);
    return false;
  }
  std::lock_guard lock(store_.mutex_);
  sqlite3* db = store_.db_;
  return InWriteTransaction(
      db,
      [&](std::string& failure) {
        Statement forget(db,
                         "DELETE FROM held WHERE address = ?1 AND port = ?2 AND code = ?3"
                         " AND number = ?4 AND fields IS NOT ?5",
                         failure);
        BindRowsKey(forget, terminal_, code_);
        for (const DownloadRecord& record : toSend) {
          forget.Bind(4, record.number);
          forget.BindBlob(5, FieldsOf(*kind, record.bytes));
          if (!forget.Run(failure)) return false;
        }
        return forget.Ok();
      },
      error);
}

void HeldBatch::Stored(int64_t number, std::span<const uint8_t> record) {
  const RecordKind* kind = KindOfCode(code_);
  if (!kind) return Failed("no kind of records has the data type code " + std::to_string(code_));
  if (pending_->rows.empty()) pending_->first = Clock::now();
  pending_->rows.push_back({number, FieldsOf(*kind, record), HeldNow()});
  CommitWhenDue();
}

void HeldBatch::Deleted(int64_t number) {
  if (pending_->rows.empty()) pending_->first = Clock::now();
  pending_->rows.push_back({number, std::nullopt, HeldNow()});
  CommitWhenDue();
}

void HeldBatch::CommitWhenDue() {
  if (pending_->rows.size() < kHeldBatchRows && Clock::now() - pending_->first < wait_) return;
  std::string error;
  if (!Commit(error)) Failed(error);
}

void HeldBatch::Failed(const std::string& error) {
  if (failure_.empty()) failure_ = error;
}

bool HeldBatch::Commit(std::string& error) {
  if (pending_->rows.empty()) return true;
  std::vector<Pending::Row> rows;
  rows.swap(pending_->rows);  // committed or dropped, they are no longer pending
  std::lock_guard lock(store_.mutex_);
  sqlite3* db = store_.db_;
  return InWriteTransaction(
      db,
      [&](std::string& failure) {
        HeldRows held(db, terminal_, code_, failure);
        if (!held.Ok() || !held.UseFile(db, file_, failure)) return false;
        for (const Pending::Row& row : rows) {
          if (!(row.fields ? held.Store(row.number, *row.fields, row.when, failure)
                           : held.Remove(row.number, failure))) {
            return false;
          }
        }
        return true;
      },
      error);
}
