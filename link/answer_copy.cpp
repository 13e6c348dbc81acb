#include "link/answer_copy.h"

#include <algorithm>
#include <cstring>

#include "records/records.h"

AnswerCopy::AnswerCopy(const RequestPacket& answer)
    : address_(answer.Address ? answer.Address : ""), packet_(answer) {
  packet_.Address = address_.c_str();
  if (!answer.Data) return;
  // The handlers read a whole record of the answer's code, and its texts up to
  // their first zero: a short record is padded with zeros to its full size,
  // and one zero byte more ends any text that fills its field to the last byte.
  const std::size_t size = std::max<std::size_t>(answer.DataLength, RecordLength(answer.Code)) + 1;
  data_.assign(size, 0);
  std::memcpy(data_.data(), answer.Data, answer.DataLength);
  packet_.Data = data_.data();
}
