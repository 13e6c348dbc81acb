// The names of the PLUs the send file holds, for the PLU report's table: a
// report line carries only the PLU's number.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "text/code_page.h"

// PLU number to name, in UTF-8.
using PluNames = std::map<int64_t, std::string>;

// The names in the PLU download file `path`, read and checked as a send reads
// it, its texts in the terminals' character set `codePage`. A file that
// cannot be read or is refused names nothing.
PluNames ReadPluNames(const std::string& path, const CodePage& codePage);
