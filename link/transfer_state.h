// The main window's record of the transfer now running, carried from one
// answer to the next. Zeroed at every transfer start.
#pragma once

#include <cstdint>

struct TransferState {
  uint16_t Direction = 0;     // 2 upload, 3 download, 0 once the transfer is to end
  uint32_t RecordIndex = 0;   // download: records handed to the library so far
  uint32_t RecordNumber = 0;  // number of the latest record written or asked for
  uint32_t AnswerNumber = 0;  // number carried by the latest answer
};
