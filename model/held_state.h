// HeldState: the program's hold on what each terminal holds: Orlent.db in
// the program folder, opened when first needed and kept open while the
// program lives. One that cannot be used is tried again at the next order;
// a run may also leave the held state alone altogether.
#pragma once

#include <memory>
#include <string>

#include "held/held_store.h"

// "Orlent.db" in `programFolder`.
std::string HeldStorePathOf(const std::string& programFolder);

class HeldState {
 public:
  explicit HeldState(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Off: nothing is read from the held state or kept in it.
  void Use(bool use) { use_ = use; }
  bool InUse() const { return use_; }
  // The store, opened now when it is not open yet; null when it is not in
  // use, or (with `problem` set) when it cannot be used.
  HeldStore* Store(std::string& problem);
  // As Store, but a store that does not exist yet is not made: there is
  // nothing held then.
  HeldStore* StoreIfMade(std::string& problem);

 private:
  std::string path_;
  bool use_ = true;
  std::unique_ptr<HeldStore> store_;
};
