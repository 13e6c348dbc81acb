// The few pieces of SQLite's C API the held state uses, each checked: a
// prepared statement that finalizes itself, a statement run for no rows,
// and a write transaction that takes the write lock at its start.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// SQLite's message for the last failure on `db`, with its code.
std::string SqliteError(sqlite3* db);

class Statement {
 public:
  // Prepares `sql` on `db`; Ok() is false, with `error` set, when it cannot be.
  Statement(sqlite3* db, std::string_view sql, std::string& error);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return statement_ != nullptr; }
  // Parameters count from 1, as in SQL's ?1.
  void Bind(int at, int64_t value);
  void Bind(int at, std::string_view text);
  void BindBlob(int at, std::span<const uint8_t> bytes);
  void BindNull(int at);
  // Steps once: true with a row to read; false at the end, or with `error`
  // set (and the result code in `code`) when the step failed.
  bool Row(std::string& error);
  // Steps to the end, then makes it ready to run again with its parameters
  // kept; false with `error` set when a step failed.
  bool Run(std::string& error);
  // The primary result code of the last failed step; 0 when none failed.
  int FailureCode() const { return failure_; }

  int64_t Integer(int column) const;
  std::string Text(int column) const;  // empty for NULL
  std::span<const uint8_t> Blob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
  int failure_ = 0;
};

// Runs `sql` (one or more statements, no rows wanted); false with `error`
// set, and SQLite's primary result code in `code` when asked for.
bool Execute(sqlite3* db, const char* sql, std::string& error, int* code = nullptr);

// Runs `body` in a write transaction begun with the write lock (BEGIN
// IMMEDIATE, so a busy database is waited for at the start, never half-way),
// committed when `body` returns true, rolled back otherwise. `code` as for
// Execute, for the beginning and the commit.
bool InWriteTransaction(sqlite3* db, const std::function<bool(std::string&)>& body,
                        std::string& error, int* code = nullptr);
