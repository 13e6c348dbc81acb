// What the held state's tests share: a PLU file read from its lines, and a
// connection of their own to Orlent.db, as a second process would have.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"
#include "text/code_page.h"

// `lines` read as a PLU download file in `folder`.
inline DownloadFileRead PluLines(const TempFolder& folder, const std::string& lines) {
  folder.Write("PLU-Down.txt", lines);
  return ReadPluFile(folder.File("PLU-Down.txt"), CodePage());
}

// "1\t<number>\t1\t<name>\t<price>\t1\t7\t0\t1\n": one line of a PLU file.
inline std::string PluLine(int number, const std::string& name, int price) {
  return "1\t" + std::to_string(number) + "\t1\t" + name + "\t" + std::to_string(price) +
         "\t1\t7\t0\t1\n";
}

class OtherConnection {
 public:
  explicit OtherConnection(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
  }
  ~OtherConnection() { sqlite3_close(db_); }
  OtherConnection(const OtherConnection&) = delete;
  OtherConnection& operator=(const OtherConnection&) = delete;

  // Runs `sql`; SQLite's result code.
  int Run(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  }
  // The rows of terminal `address` it sees.
  int Rows(const std::string& address) {
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(db_, "SELECT count(*) FROM held WHERE address = ?1", -1, &count, nullptr);
    sqlite3_bind_text(count, 1, address.c_str(), -1, SQLITE_TRANSIENT);
    const int rows = sqlite3_step(count) == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
    sqlite3_finalize(count);
    return rows;
  }

 private:
  sqlite3* db_ = nullptr;
};
