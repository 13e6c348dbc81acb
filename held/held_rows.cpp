#include "held/held_rows.h"

#include <ctime>

#include "held/record_digest.h"

int64_t HeldNow() {
  return static_cast<int64_t>(std::time(nullptr));
}

HeldRows::HeldRows(sqlite3* db, const HeldTerminal& terminal, uint8_t code, std::string& error)
    : store_(db,
             "INSERT OR REPLACE INTO held(address, port, code, number, digest, fields, time, file)"
             " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
             error),
      remove_(db, "DELETE FROM held WHERE address = ?1 AND port = ?2 AND code = ?3 AND number = ?4",
              error) {
  for (Statement* statement : {&store_, &remove_}) BindRowsKey(*statement, terminal, code);
}

void BindRowsKey(Statement& statement, const HeldTerminal& terminal, uint8_t code) {
  statement.Bind(1, terminal.address);
  statement.Bind(2, int64_t{terminal.port});
  statement.Bind(3, int64_t{code});
}

bool HeldRows::UseFile(sqlite3* db, const std::string& file, std::string& error) {
  file_.reset();
  if (file.empty()) return true;
  Statement add(db, "INSERT OR IGNORE INTO files(name) VALUES(?1)", error);
  add.Bind(1, file);
  if (!add.Run(error)) return false;
  Statement find(db, "SELECT id FROM files WHERE name = ?1", error);
  find.Bind(1, file);
  if (!find.Row(error)) {
    if (error.empty()) error = "the name of " + file + " was not kept";
    return false;
  }
  file_ = find.Integer(0);
  return true;
}

bool HeldRows::Store(int64_t number, std::span<const uint8_t> fields, int64_t when,
                     std::string& error) {
  store_.Bind(4, number);
  // The digest's 64 bits kept as SQLite's signed integer.
  store_.Bind(5, static_cast<int64_t>(DigestOf(fields)));
  store_.BindBlob(6, fields);
  store_.Bind(7, when);
  if (file_) {
    store_.Bind(8, *file_);
  } else {
    store_.BindNull(8);
  }
  return store_.Run(error);
}

bool HeldRows::Remove(int64_t number, std::string& error) {
  remove_.Bind(4, number);
  return remove_.Run(error);
}
