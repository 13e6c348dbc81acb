// The words of a verification: a comparison's counts as one text, and the log
// lines of one terminal's result, a headline ("- Verified 127.0.0.2: 3334
// same", "- Differs 127.0.0.2: ...") and one indented line per listed
// difference.
#pragma once

#include <string>
#include <vector>

#include "records/record_compare.h"

// "3330 same, 2 different, 1 missing, 1 only on the terminal"; a count of
// zero other than "same" is left out.
std::string ComparisonCountsText(const RecordComparison& comparison);

// The listed differences, each indented by two blanks, then "  and 11 more"
// when more were found than listed.
std::vector<std::string> DifferenceLines(const RecordComparison& comparison);

// The headline, then the difference lines.
std::vector<std::string> VerifyLines(const std::string& address,
                                     const RecordComparison& comparison);
