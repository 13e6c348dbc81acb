// The upload lines: each record a terminal sends in an upload becomes one
// line of text, CR LF included, in its kind's format, for the upload file and
// the activity log.
#pragma once

#include <string>

#include "records/records.h"

std::string PluUploadLine(const PluRecord& record);
std::string BarcodeUploadLine(const BarcodeRecord& record);
std::string IngredientUploadLine(const IngredientRecord& record);
std::string ScrollMsgUploadLine(const ScrollMsgRecord& record);
std::string ReportPluUploadLine(const ReportPluRecord& record);
// The time, group and department reports share one format.
std::string ReportTotalUploadLine(const ReportTotalRecord& record);
