// Whole-file reads and atomic replacement, for files that must never be seen
// half-written, not even after a crash or a full disk.
#pragma once

#include <string>

enum class ReadStatus { Ok, Missing, Failed };

struct FileContent {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;  // the whole file when status is Ok
};

// Writes all of `bytes` to `fd`, going on after a signal; false when a write
// fails or takes nothing (a full disk).
bool WriteAll(int fd, const std::string& bytes);

// Anything but a regular file (a folder, a FIFO, a device) counts as a file
// that cannot be read, so a read never waits for a writer.
FileContent ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `bytes`: writes an unnamed temporary file
// in the same folder, flushes it to the disk, names it and renames it over
// `path`, then flushes the folder. A symbolic link at `path` keeps pointing at
// its target, which is replaced instead; an existing file's owner and
// permission bits are kept. A file nobody may write (no write permission bit,
// or none for this user) is refused. Returns false when any step fails, with
// the file at `path` as it was. A crash leaves no temporary file behind, but
// for the one moment between naming and renaming (or, on a file system
// without unnamed files, while it is written); the next replacement of the
// same file takes the place of such a leftover.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// The name the temporary file of a replacement of the file `target` passes
// through; one name per file, so a leftover is found and reused.
std::string TemporaryPathFor(const std::string& target);

// Removes the temporary file that a replacement of `path` (or of the target
// of the link at `path`) cut short by a crash may have left. Call it only
// where no other process can be replacing the same file.
void RemoveLeftoverTemporary(const std::string& path);
