// An order's own options resolved against the ones in force, and checked
// against the settings file's ranges.
#include "model/order_options.h"

namespace {

// The range fault of `value` for `key`, or empty.
std::string RangeFault(const NumberKey& key, const std::optional<int>& value) {
  if (!value || (*value >= key.min && *value <= key.max)) return "";
  return std::string(key.name) + " must be a number from " + std::to_string(key.min) + " to " +
         std::to_string(key.max);
}

}  // namespace

CycleOptions Resolved(const OrderOptions& options, const CycleOptions& inForce) {
  return CycleOptions{options.parallel.value_or(inForce.parallel),
                      options.pauseMs.value_or(inForce.pauseMs),
                      options.answerTimeoutMs.value_or(inForce.answerTimeoutMs)};
}

const CodePage& Resolved(const OrderOptions& options, const CodePage& inForce) {
  return options.codePage ? *options.codePage : inForce;
}

std::string OutOfRange(const OrderOptions& options) {
  for (const auto& [key, value] :
       {std::pair{kParallelKey, options.parallel}, std::pair{kPauseKey, options.pauseMs},
        std::pair{kAnswerTimeoutKey, options.answerTimeoutMs}}) {
    if (std::string fault = RangeFault(key, value); !fault.empty()) return fault;
  }
  return "";
}
