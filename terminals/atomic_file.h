// Whole-file reads and atomic replacement, for files that must never be seen
// half-written, not even after a crash or a full disk.
#pragma once

#include <string>

enum class ReadStatus { Ok, Missing, Failed };

struct FileContent {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;  // the whole file when status is Ok
};

FileContent ReadWholeFile(const std::string& path);

// Replaces the file at `path` with `bytes`: writes a temporary file in the same
// folder, flushes it to the disk, and renames it over `path`; an existing
// file's permission bits are kept. Returns false when any step fails, with the
// file at `path` as it was and no temporary file left behind.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// The temporary file that a replacement of `path` by this process writes.
std::string TemporaryPathFor(const std::string& path);
