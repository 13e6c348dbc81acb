// Diagnostic lines of the link library: why a connect failed or a connection
// was closed. Written to stderr only when the environment variable
// TERMLINK_TRACE is set to a non-empty value; silent otherwise.
#pragma once

#include <string_view>

namespace termlink {

void Trace(std::string_view address, std::string_view text);

}  // namespace termlink
