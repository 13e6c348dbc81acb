// The files a receive names for itself are each made new: never one that
// exists, never through a symbolic link, under the first free name of a
// series ("X.txt", "X_2.txt", "X_3.txt", ...), so that two receives at once
// into one folder, or a link planted at a name, cannot make one write over
// another file.
#pragma once

#include <functional>
#include <string>

// Name `n` of the series in `folder`: "<stem><ext>" for 1, "<stem>_<n><ext>" after it.
std::string SeriesPath(const std::string& folder, const std::string& stem, int n,
                       const std::string& ext);

// Creates the first free name of the series, open for reading and writing,
// and returns its descriptor; `path` gets its name. Throws std::runtime_error
// "Cannot create file "<path>". <reason>" when it cannot be made.
int CreateNewFile(const std::string& folder, const std::string& stem, const std::string& ext,
                  std::string& path);

// A free name that is to be passed over all the same (a companion file of it exists).
using AlsoTaken = std::function<bool(const std::string& path)>;

// Moves the file `from` to the first free name of the series, never
// replacing anything there, and returns that name. Throws std::runtime_error
// "Cannot rename file "<from>". <reason>" when it cannot be moved.
std::string MoveToNewName(const std::string& from, const std::string& folder,
                          const std::string& stem, const std::string& ext,
                          const AlsoTaken& alsoTaken = nullptr);
