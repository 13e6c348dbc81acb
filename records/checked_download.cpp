#include "records/checked_download.h"

#include <utility>

CheckedDownload::CheckedDownload(const RecordKind& kind, std::vector<uint8_t> bytes,
                                 const std::vector<int>& lines)
    : kind_(kind), bytes_(std::move(bytes)) {
  records_.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::span<const uint8_t> record(bytes_.data() + i * kind.size, kind.size);
    records_.push_back({NumberOf(kind, record), lines[i], record});
  }
}
