// FolderLock: the locks the Orlent processes of one program folder share, as
// byte ranges of one lock file beside the settings file ("Orlent.ini.lock").
// Byte 0 is the edit lock: one read-change-write of the settings file at a
// time. Byte 1 is the window lock: held by an Orlent window for its whole
// life, with its process id written in the file. Bytes from 2^32 up are
// terminal locks, one per terminal address, so that two processes never send
// to one terminal at once. They are open-file-description locks: they
// exclude other processes and other FolderLock objects alike, and go with
// the object (or a crash of its process). Where the lock file cannot be
// opened (a folder that cannot be written) everything goes on without locks.
#pragma once

#include <sys/types.h>
#include <optional>
#include <string>

class FolderLock {
 public:
  explicit FolderLock(std::string lockPath);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Waits for the edit lock. Nested holds in this object only count; the
  // lock goes with the last UnlockEdits. `create`: make the lock file when it
  // is missing (an edit that writes); a read needs no lock while there is no
  // lock file, as nobody writes then.
  void LockEdits(bool create);
  // As LockEdits, without waiting: false, holding nothing, when another
  // process holds the edit lock.
  bool TryLockEdits(bool create);
  void UnlockEdits();
  // The edit lock is held, not only asked for (there may be no lock file).
  bool HoldsEdits() const { return editHeld_; }

  // Takes the window lock and writes this process's id; false when another
  // window holds it.
  bool ClaimWindow();
  // The process id of the window that holds the folder (0 when its id cannot
  // be read), or nothing when no other window does.
  std::optional<pid_t> WindowHolder();

  // Takes the terminal lock of `address` without waiting; false when another
  // process holds it.
  bool LockTerminal(const std::string& address);
  void UnlockTerminal(const std::string& address);

  // The byte of the lock file that stands for `address`: 2^32 up to 2^62.
  static off_t TerminalOffset(const std::string& address);

 private:
  bool Open(bool create);
  bool TakeEdits(bool create, bool wait);
  // A lock (F_WRLCK) or unlock (F_UNLCK) of one byte; `wait` blocks.
  bool Set(short type, off_t offset, bool wait);

  std::string path_;
  int fd_ = -1;
  int editDepth_ = 0;
  bool editHeld_ = false;
};
