// The checks every cycle's order passes before the program looks at the
// port, the file or the folder.
#include "model/orders.h"

std::optional<std::string> Refusal(const std::vector<CycleEntry>& entries,
                                   const OrderOptions& options, const char* noTerminal) {
  if (!AnyTicked(entries)) return noTerminal;
  if (std::string fault = OutOfRange(options); !fault.empty()) return fault;
  return std::nullopt;
}
