// Opening Orlent.db: a new one is made; a file that is not a database or is
// damaged is set aside under a name that says so and a new one made; a
// folder that cannot be written, a lock held beyond the busy time-out and a
// database of a later schema leave no store, each with a problem that says why.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "held/held_store.h"
#include "held/held_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The files of `folder` whose names begin with `prefix`.
std::vector<std::string> FilesNamed(const TempFolder& folder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  return names;
}

// A database holding some rows of 127.0.0.2, closed.
void MakeHeld(const std::string& path, int records) {
  std::string problem;
  auto store = HeldStore::Open(path, problem);
  ASSERT_TRUE(store) << problem;
  std::vector<std::vector<uint8_t>> read;
  for (int n = 1; n <= records; ++n) {
    PluRecord record{};
    record.PluNo = n;
    std::snprintf(record.Text, sizeof record.Text, "item %d with a long enough name", n);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    read.emplace_back(bytes, bytes + sizeof record);
  }
  std::string error;
  ASSERT_TRUE(store->ReplaceWithRead({"127.0.0.2", 3001}, kCodePlu, read, true, error)) << error;
}

// Overwrites `bytes` of the file at `offset`.
void Scribble(const std::string& path, std::size_t offset, const std::string& bytes) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(HeldOpen, ANewDatabaseIsMadeAndOpensAgain) {
  TempFolder folder;
  const std::string path = folder.File("Orlent.db");
  MakeHeld(path, 3);
  std::string problem = "stale";
  auto store = HeldStore::Open(path, problem);
  ASSERT_TRUE(store);
  EXPECT_EQ(problem, "");
  EXPECT_TRUE(store->AnyHeld());
  OtherConnection other(path);
  EXPECT_EQ(other.Rows("127.0.0.2"), 3);
}

// Orlent.db and its -wal and -shm files are made as the umask says, so that
// a folder shared by a group stays the group's to write.
TEST(HeldOpen, ANewDatabaseIsMadeWithTheUmasksMode) {
  for (const mode_t mask : {mode_t{002}, mode_t{022}}) {
    TempFolder folder;
    const std::string path = folder.File("Orlent.db");
    const mode_t before = umask(mask);
    {
      std::string problem;
      auto store = HeldStore::Open(path, problem);
      ASSERT_TRUE(store) << problem;
      std::string error;
      ASSERT_TRUE(store->ReplaceWithRead({"127.0.0.2", 3001}, kCodePlu, {}, true, error)) << error;
      for (const char* suffix : {"", "-wal", "-shm"}) {
        const auto permissions = fs::status(path + suffix).permissions();
        EXPECT_EQ(static_cast<mode_t>(permissions), 0666 & ~mask) << suffix << " " << mask;
      }
    }
    umask(before);
  }
}

TEST(HeldOpen, AnUnusableFileIsSetAsideAndANewOneMade) {
  struct Case {
    const char* name;
    void (*spoil)(const std::string& path);
    const char* damage;  // in the problem
  };
  const Case cases[] = {
      {"not a database",
       [](const std::string& path) { std::ofstream(path) << std::string(5000, 'x'); },
       "file is not a database"},
      {"a damaged b-tree page",
       [](const std::string& path) {
         MakeHeld(path, 40);
         Scribble(path, 4096, std::string(4096, '\x7f'));
       },
       "Page "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string path = folder.File("Orlent.db");
    c.spoil(path);
    const std::string before = folder.Read("Orlent.db");
    std::string problem;
    auto store = HeldStore::Open(path, problem);
    ASSERT_TRUE(store) << problem;
    EXPECT_FALSE(store->AnyHeld());
    const auto aside = FilesNamed(folder, "Orlent.db.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(aside[0].size(), std::string("Orlent.db.damaged-20261210-071500").size());
    EXPECT_EQ(folder.Read(aside[0]), before) << "set aside as it was";
    EXPECT_EQ(problem.rfind("Orlent.db was damaged (", 0), 0u) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos) << "one line: " << problem;
    EXPECT_NE(problem.find(c.damage), std::string::npos) << problem;
    EXPECT_NE(problem.find("; set aside as " + aside[0] + ", a new one made"), std::string::npos)
        << problem;
  }
}

TEST(HeldOpen, NoStoreWhenTheDatabaseCannotBeUsed) {
  struct Case {
    const char* name;
    // Prepares the folder; false when the case cannot be tried here.
    bool (*prepare)(const TempFolder& folder, std::unique_ptr<OtherConnection>& other);
    const char* problem;  // how the problem begins
  };
  const Case cases[] = {
      {"a folder that cannot be written",
       [](const TempFolder& folder, std::unique_ptr<OtherConnection>&) {
         fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);
         return geteuid() != 0;  // root writes anyway
       },
       "the folder "},
      {"a lock held beyond the busy time-out",
       [](const TempFolder& folder, std::unique_ptr<OtherConnection>& other) {
         MakeHeld(folder.File("Orlent.db"), 1);
         other = std::make_unique<OtherConnection>(folder.File("Orlent.db"));
         return other->Run(
                    "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                    " DELETE FROM held;") == SQLITE_OK;
       },
       "Orlent.db stays locked by another program: "},
      {"a database of a later schema",
       [](const TempFolder& folder, std::unique_ptr<OtherConnection>& other) {
         other = std::make_unique<OtherConnection>(folder.File("Orlent.db"));
         return other->Run("PRAGMA user_version = 2") == SQLITE_OK;
       },
       "Orlent.db cannot be used: it was made by a later Orlent (schema version 2)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    std::unique_ptr<OtherConnection> other;
    if (!c.prepare(folder, other)) {
      fs::permissions(folder.path(), fs::perms::owner_all);
      continue;
    }
    std::string problem;
    auto store = HeldStore::Open(folder.File("Orlent.db"), problem, 50ms);
    EXPECT_FALSE(store);
    EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    EXPECT_TRUE(FilesNamed(folder, "Orlent.db.damaged-").empty());
    other.reset();
    fs::permissions(folder.path(), fs::perms::owner_all);
  }
}

}  // namespace
