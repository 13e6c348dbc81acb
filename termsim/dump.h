// --dump: a terminal's stored records as the lines of a download file, so a
// download can be compared with the file it came from.
#pragma once

#include <ostream>
#include <string>

// Prints the records of kind `kindName` stored for terminal `address` under
// `store`, in number order, one tab-separated line each, in the column order
// of that kind's download file. Throws std::runtime_error when the terminal
// has no folder there or a store file is bad.
void DumpRecords(const std::string& store, const std::string& address, const std::string& kindName,
                 std::ostream& out);
