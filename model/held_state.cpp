#include "model/held_state.h"

#include <filesystem>
#include <system_error>

std::string HeldStorePathOf(const std::string& programFolder) {
  return programFolder + "/Orlent.db";
}

HeldStore* HeldState::Store(std::string& problem) {
  problem.clear();
  if (!use_) return nullptr;
  if (!store_) store_ = HeldStore::Open(path_, problem);
  return store_.get();
}

HeldStore* HeldState::StoreIfMade(std::string& problem) {
  problem.clear();
  std::error_code error;
  if (!store_ && !std::filesystem::exists(path_, error)) return nullptr;
  return Store(problem);
}
