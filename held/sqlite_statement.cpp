#include "held/sqlite_statement.h"

#include <sqlite3.h>

std::string SqliteError(sqlite3* db) {
  return std::string(sqlite3_errmsg(db)) + " (SQLite code " +
         std::to_string(sqlite3_extended_errcode(db)) + ")";
}

Statement::Statement(sqlite3* db, std::string_view sql, std::string& error) : db_(db) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
      SQLITE_OK) {
    failure_ = sqlite3_errcode(db) & 0xff;
    error = SqliteError(db);
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }
}

Statement::~Statement() {
  sqlite3_finalize(statement_);
}

// Binding fails only for a parameter number the statement lacks or when out
// of memory; either shows as the failure of the step that follows.
void Statement::Bind(int at, int64_t value) {
  sqlite3_bind_int64(statement_, at, value);
}

void Statement::Bind(int at, std::string_view text) {
  sqlite3_bind_text(statement_, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::BindBlob(int at, std::span<const uint8_t> bytes) {
  // A zero-length blob still binds a blob, not NULL: the pointer must not be null.
  static const uint8_t kNothing = 0;
  sqlite3_bind_blob(statement_, at, bytes.empty() ? &kNothing : bytes.data(),
                    static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Statement::BindNull(int at) {
  sqlite3_bind_null(statement_, at);
}

bool Statement::Row(std::string& error) {
  if (!statement_) return false;
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    failure_ = rc & 0xff;
    error = SqliteError(db_);
  }
  return false;
}

bool Statement::Run(std::string& error) {
  if (!statement_) return false;
  failure_ = 0;
  while (Row(error)) {
  }
  sqlite3_reset(statement_);  // ready to run again, its parameters kept
  return failure_ == 0;
}

int64_t Statement::Integer(int column) const {
  return sqlite3_column_int64(statement_, column);
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
              : std::string();
}

std::span<const uint8_t> Statement::Blob(int column) const {
  const auto* bytes = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
  return {bytes, bytes ? static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)) : 0};
}

bool Execute(sqlite3* db, const char* sql, std::string& error, int* code) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) return true;
  error = SqliteError(db);
  if (code) *code = rc & 0xff;
  return false;
}

bool InWriteTransaction(sqlite3* db, const std::function<bool(std::string&)>& body,
                        std::string& error, int* code) {
  if (!Execute(db, "BEGIN IMMEDIATE", error, code)) return false;
  if (body(error) && Execute(db, "COMMIT", error, code)) return true;
  std::string ignored;  // the failure that led here is the one to report
  Execute(db, "ROLLBACK", ignored);
  return false;
}
