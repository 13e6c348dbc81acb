// The rows of one terminal's records of one kind in Orlent.db, written inside
// a write transaction: each stored record's fields and digest, when, and the
// file it came from, kept as a number into the table of file names.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "held/held_store.h"
#include "held/sqlite_statement.h"

// Seconds since the epoch, now.
int64_t HeldNow();

// Binds the key every statement on one terminal's rows of a kind begins with:
// the address as ?1, the port as ?2 and the data type code as ?3.
void BindRowsKey(Statement& statement, const HeldTerminal& terminal, uint8_t code);

class HeldRows {
 public:
  HeldRows(sqlite3* db, const HeldTerminal& terminal, uint8_t code, std::string& error);
  bool Ok() const { return store_.Ok() && remove_.Ok(); }

  // The number of `file` in the table of file names, added when new; empty
  // `file` (rows read from the terminal) has none. False with `error` set.
  bool UseFile(sqlite3* db, const std::string& file, std::string& error);
  bool Store(int64_t number, std::span<const uint8_t> fields, int64_t when, std::string& error);
  bool Remove(int64_t number, std::string& error);

 private:
  Statement store_;
  Statement remove_;
  std::optional<int64_t> file_;
};
