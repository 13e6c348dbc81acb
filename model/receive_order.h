// What the operator asks of a receive: from which terminals, which records
// or report, the folder its files go to, and the options it gives for itself.
#pragma once

#include <cstdint>
#include <string>

#include "model/order_options.h"

struct ReceiveOrder {
  enum class From { Selected, Ticked };
  From from = From::Ticked;  // the list's selected entry, or every ticked one
  uint8_t code = 0;          // the data type code of the records or the report
  std::string folder;        // empty: ReceivedFolderOf the program folder
  OrderOptions options;
};

// The folder a receive's files go to unless the operator names another:
// received/ in the program folder.
inline std::string ReceivedFolderOf(const std::string& programFolder) {
  return programFolder + "/received";
}
