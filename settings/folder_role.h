// How a front end holds its program folder while it runs, and the refusal it
// meets when another Orlent process holds the folder in a way that excludes it.
#pragma once

#include <stdexcept>

enum class FolderRole {
  Reader,  // takes the edit lock for each load and save only (listing, send, upload, read)
  Editor,  // holds the edit lock from its load to its end; refused while a window is open
  Window,  // holds the window lock for its whole life; refused while another window is open
};

// The folder is held by another Orlent process in a way that excludes this one.
struct FolderInUse : std::runtime_error {
  using std::runtime_error::runtime_error;
};
