// Opening Orlent.db: the checks a file passes before it is used, the schema,
// and setting a damaged file aside.
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "held/held_store.h"
#include "held/sqlite_statement.h"

namespace {

// Version 1: the held rows, keyed by terminal, kind and record number, and
// the names of the files they came from.
constexpr int64_t kSchemaVersion = 1;
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS files("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE IF NOT EXISTS held("
    " address TEXT NOT NULL,"
    " port INTEGER NOT NULL,"
    " code INTEGER NOT NULL,"
    " number INTEGER NOT NULL,"
    " digest INTEGER NOT NULL,"
    " fields BLOB NOT NULL,"
    " time INTEGER NOT NULL,"
    " file INTEGER REFERENCES files(id),"
    " PRIMARY KEY(address, port, code, number)) WITHOUT ROWID;"
    "PRAGMA user_version = 1;";

enum class Trouble { None, Damaged, Locked, Unusable };

struct Opened {
  sqlite3* db = nullptr;
  Trouble trouble = Trouble::None;
  std::string message;  // SQLite's, or what a check found
};

Trouble TroubleOf(int code) {
  switch (code) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Trouble::Damaged;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Trouble::Locked;
    default:
      return Trouble::Unusable;
  }
}

// A single-row pragma's answer; false with `error` set, and SQLite's result
// code in `code`, when it failed.
bool PragmaText(sqlite3* db, const char* sql, std::string& answer, std::string& error, int& code) {
  Statement pragma(db, sql, error);
  if (!pragma.Row(error)) {
    code = pragma.FailureCode();
    if (error.empty()) error = std::string(sql) + " gave no answer";
    return false;
  }
  answer = pragma.Text(0);
  return true;
}

// The first thing a quick check found, on one line: it names the database
// ("*** in database main ***") before its findings, one a line.
std::string FirstFinding(const std::string& answer) {
  std::size_t begin = 0;
  while (begin < answer.size()) {
    const std::size_t end = std::min(answer.find('\n', begin), answer.size());
    const std::string line = answer.substr(begin, end - begin);
    if (!line.empty() && line.rfind("*** ", 0) != 0) return line;
    begin = end + 1;
  }
  return answer;
}

// The schema made or found, in one write transaction so that two processes
// opening a new database make it once.
bool UseSchema(sqlite3* db, std::string& error, int& code) {
  return InWriteTransaction(
      db,
      [&](std::string& failure) {
        std::string version;
        if (!PragmaText(db, "PRAGMA user_version", version, failure, code)) return false;
        if (version == "0") return Execute(db, kSchema, failure, &code);
        if (version == std::to_string(kSchemaVersion)) return true;
        failure = "it was made by a later Orlent (schema version " + version + ")";
        return false;
      },
      error, &code);
}

// A new Orlent.db is made with the mode the process' umask gives, as every
// other file of the program folder is: SQLite would make it 0644 whatever
// the umask, and its -wal and -shm files take the database's mode, so a
// folder shared by a group (the nightly service's and the operator's) could
// not be written by the group. An empty file is a new database to SQLite.
void MakeIfMissing(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd >= 0) close(fd);
}

// Every check in turn: the file is a database, it is whole, it keeps a
// write-ahead log and has our schema.
Opened OpenChecked(const std::string& path, std::chrono::milliseconds busy) {
  Opened opened;
  int code = SQLITE_ERROR;
  std::string answer, error;
  auto fail = [&](Trouble trouble, std::string message) {
    opened.trouble = trouble;
    opened.message = std::move(message);
    sqlite3_close(opened.db);
    opened.db = nullptr;
    return std::move(opened);
  };
  MakeIfMissing(path);
  if (sqlite3_open_v2(path.c_str(), &opened.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    return fail(Trouble::Unusable, SqliteError(opened.db));
  }
  sqlite3_extended_result_codes(opened.db, 1);
  sqlite3_busy_timeout(opened.db, static_cast<int>(busy.count()));
  if (!PragmaText(opened.db, "PRAGMA quick_check", answer, error, code)) {
    return fail(TroubleOf(code), error);
  }
  if (answer != "ok") return fail(Trouble::Damaged, FirstFinding(answer));
  if (!PragmaText(opened.db, "PRAGMA journal_mode = WAL", answer, error, code)) {
    return fail(TroubleOf(code), error);
  }
  if (answer != "wal") return fail(Trouble::Unusable, "it keeps no write-ahead log here");
  code = SQLITE_ERROR;  // a refusal of the schema itself
  if (!Execute(opened.db, "PRAGMA synchronous = NORMAL", error, &code) ||
      !UseSchema(opened.db, error, code)) {
    return fail(TroubleOf(code), error);
  }
  return opened;
}

std::string Stamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// Moves the damaged `path`, with its log and index beside it, to a free
// "<path>.damaged-YYYYMMDD-HHMMSS"; the name it went to, or empty with
// `error` set.
std::string SetAside(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  const std::string stem = path + ".damaged-" + Stamp();
  std::string aside = stem;
  for (int n = 2; fs::exists(aside); ++n) aside = stem + "-" + std::to_string(n);
  std::error_code failure;
  fs::rename(path, aside, failure);
  if (failure) {
    error = failure.message();
    return {};
  }
  for (const char* beside : {"-wal", "-shm", "-journal"}) {
    if (fs::exists(path + beside)) fs::rename(path + beside, aside + beside, failure);
  }
  return aside;
}

std::string NameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.empty() ? "." : folder.string();
}

std::string Refusal(const std::string& path, const Opened& opened) {
  if (opened.trouble == Trouble::Locked) {
    return NameOf(path) + " stays locked by another program: " + opened.message;
  }
  return NameOf(path) + " cannot be used: " + opened.message;
}

}  // namespace

std::unique_ptr<HeldStore> HeldStore::Open(const std::string& path, std::string& problem,
                                           std::chrono::milliseconds busy) {
  problem.clear();
  // SQLite keeps its log and index beside the file: the folder must take them.
  if (access(FolderOf(path).c_str(), W_OK) != 0) {
    problem = "the folder " + FolderOf(path) + " cannot be written, so " + NameOf(path) +
              " cannot be kept there";
    return nullptr;
  }
  Opened opened = OpenChecked(path, busy);
  if (opened.trouble == Trouble::Damaged) {
    std::string error;
    const std::string aside = SetAside(path, error);
    if (aside.empty()) {
      problem = NameOf(path) + " is damaged (" + opened.message +
                ") and could not be set aside: " + error;
      return nullptr;
    }
    const std::string damage = opened.message;
    opened = OpenChecked(path, busy);
    if (!opened.db) {
      problem = NameOf(path) + " was damaged; set aside as " + NameOf(aside) +
                ", but a new one could not be made: " + opened.message;
      return nullptr;
    }
    problem = NameOf(path) + " was damaged (" + damage + "); set aside as " + NameOf(aside) +
              ", a new one made";
  }
  if (!opened.db) {
    problem = Refusal(path, opened);
    return nullptr;
  }
  return std::unique_ptr<HeldStore>(new HeldStore(path, opened.db));
}
