#include "held/held_store.h"

#include <sqlite3.h>

#include <climits>

#include "held/held_rows.h"
#include "held/record_digest.h"
#include "held/sqlite_statement.h"
#include "records/record_fields.h"

namespace {

// The number a record read from a terminal is held under; the speedkey's is 1.
int64_t ReadNumber(const RecordKind& kind, std::span<const uint8_t> record) {
  const KindColumn* number = NumberColumn(kind);
  return number ? FieldNumber(*number, record) : 1;
}

// The record numbers held of `terminal`'s records of `code`.
bool HeldNumbers(sqlite3* db, const HeldTerminal& terminal, uint8_t code,
                 std::vector<int64_t>& numbers, std::string& error) {
  Statement select(db, "SELECT number FROM held WHERE address = ?1 AND port = ?2 AND code = ?3",
                   error);
  BindRowsKey(select, terminal, code);
  while (select.Row(error)) numbers.push_back(select.Integer(0));
  return select.Ok() && select.FailureCode() == 0;
}

}  // namespace

HeldStore::~HeldStore() {
  sqlite3_close(db_);
}

std::optional<HeldRecords> HeldStore::Records(const HeldTerminal& terminal, uint8_t code,
                                              std::string& error) {
  std::lock_guard lock(mutex_);
  Statement select(db_,
                   "SELECT number, digest, fields, time, files.name FROM held"
                   " LEFT JOIN files ON files.id = held.file"
                   " WHERE address = ?1 AND port = ?2 AND code = ?3",
                   error);
  BindRowsKey(select, terminal, code);
  HeldRecords records;
  while (select.Row(error)) {
    const auto fields = select.Blob(2);
    HeldRecord& record = records[select.Integer(0)];
    record.number = select.Integer(0);
    record.digest = static_cast<uint64_t>(select.Integer(1));
    record.fields.assign(fields.begin(), fields.end());
    record.when = select.Integer(3);
    record.file = select.Text(4);
  }
  if (!select.Ok() || select.FailureCode() != 0) return std::nullopt;
  return records;
}

bool HeldStore::AnyHeld() {
  std::lock_guard lock(mutex_);
  std::string error;
  Statement any(db_, "SELECT 1 FROM held LIMIT 1", error);
  return any.Row(error);
}

std::optional<std::vector<HeldSummary>> HeldStore::Summaries(const std::string& address,
                                                             uint8_t code, std::string& error) {
  std::lock_guard lock(mutex_);
  // With a single max(), SQLite takes the file's name from the row of the
  // latest time.
  Statement select(db_,
                   "SELECT address, port, code, count(*), max(time), files.name FROM held"
                   " LEFT JOIN files ON files.id = held.file"
                   " WHERE (?1 = '' OR address = ?1) AND (?2 = 0 OR code = ?2)"
                   " GROUP BY address, port, code ORDER BY address, port, code",
                   error);
  select.Bind(1, address);
  select.Bind(2, int64_t{code});
  std::vector<HeldSummary> summaries;
  while (select.Row(error)) {
    summaries.push_back({{select.Text(0), static_cast<int>(select.Integer(1))},
                         static_cast<uint8_t>(select.Integer(2)),
                         select.Integer(3),
                         select.Integer(4),
                         select.Text(5)});
  }
  if (!select.Ok() || select.FailureCode() != 0) return std::nullopt;
  return summaries;
}

bool HeldStore::Forget(const std::string& address, std::string& error) {
  std::lock_guard lock(mutex_);
  return InWriteTransaction(
      db_,
      [&](std::string& failure) {
        Statement forget(db_, "DELETE FROM held WHERE address = ?1", failure);
        forget.Bind(1, address);
        // The names no row refers to any more go with them.
        return forget.Run(failure) && Execute(db_,
                                              "DELETE FROM files WHERE id NOT IN"
                                              " (SELECT file FROM held WHERE file IS NOT NULL)",
                                              failure);
      },
      error);
}

bool HeldStore::ReplaceWithRead(const HeldTerminal& terminal, uint8_t code,
                                const std::vector<std::vector<uint8_t>>& records, bool whole,
                                std::string& error) {
  const RecordKind* kind = KindOfCode(code);
  if (!kind) {
    error = "no kind of records has the data type code " + std::to_string(code);
    return false;
  }
  // By number, a later record replacing an earlier one, as the terminal stores them.
  std::map<int64_t, std::vector<uint8_t>> read;
  for (const auto& record : records) read[ReadNumber(*kind, record)] = FieldsOf(*kind, record);
  const int64_t last = read.empty() ? INT64_MIN : read.rbegin()->first;
  std::lock_guard lock(mutex_);
  return InWriteTransaction(
      db_,
      [&](std::string& failure) {
        HeldRows rows(db_, terminal, code, failure);
        std::vector<int64_t> held;
        if (!rows.Ok() || !HeldNumbers(db_, terminal, code, held, failure)) return false;
        for (const int64_t number : held) {
          if ((whole || number <= last) && !read.count(number) && !rows.Remove(number, failure)) {
            return false;
          }
        }
        const int64_t now = HeldNow();
        for (const auto& [number, fields] : read) {
          if (!rows.Store(number, fields, now, failure)) return false;
        }
        return true;
      },
      error);
}
