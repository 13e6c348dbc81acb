// One record's line of a download file checked column by column exactly as
// a send reads it (records/download_line.h), so that the item editor shows
// every fault at its cell: the refusal a send would give, with its reason.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/download_file_lines.h"
#include "records/record_kinds.h"
#include "text/code_page.h"

// Per column of `kind`: empty, or why a send refuses the column of `line`
// ("I/O Error ! ('12,345' is not a whole number from ...)"). `lineNumber`
// counts from 1; `utf8` says whether the file's texts are UTF-8 (converted
// to `codePage`) or in the terminal's set already.
std::vector<std::string> CheckRecordLine(const RecordKind& kind, std::string_view line,
                                         int lineNumber, const CodePage& codePage, bool utf8);

// Whether the texts of `file` are taken as UTF-8: a file with a byte order
// mark, or with UTF-8 characters and no byte that is not UTF-8, and a file
// of plain ASCII, whose added texts are then written in UTF-8. Any other
// file is in the terminal's set.
bool TextsAreUtf8(const DownloadFileLines& file);
