// The upload lines: each record a terminal sends in an upload becomes one
// line of text, CR LF included, in its kind's format, for the upload file and
// the activity log. Texts are written in UTF-8, turned from the terminal's
// character set `codePage`, so that a line can be edited and sent again.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "records/record_kinds.h"
#include "records/records.h"
#include "text/code_page.h"

std::string PluUploadLine(const PluRecord& record, const CodePage& codePage);
std::string BarcodeUploadLine(const BarcodeRecord& record, const CodePage& codePage);
std::string IngredientUploadLine(const IngredientRecord& record, const CodePage& codePage);
std::string ScrollMsgUploadLine(const ScrollMsgRecord& record, const CodePage& codePage);
std::string ReportPluUploadLine(const ReportPluRecord& record);
// The time, group and department reports share one format.
std::string ReportTotalUploadLine(const ReportTotalRecord& record);

// The line of `record`, a whole record of `kind`, in the kind's format; empty
// for a kind that has none (the speedkey).
std::string UploadLine(const RecordKind& kind, std::span<const uint8_t> record,
                       const CodePage& codePage);
