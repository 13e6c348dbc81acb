// The words of a verification: a comparison's counts as one text, and the log
// lines of one terminal's result, a headline ("- Verified 127.0.0.2: 3334
// same", "- Differs 127.0.0.2: ...", "- Not proven 127.0.0.2: 3 same; the
// terminal ended its records at 65535") and one indented line per listed
// difference.
#pragma once

#include <string>
#include <vector>

#include "records/record_compare.h"

// "3330 same, 2 different, 1 missing, 1 only on the terminal, 1 not seen";
// a count of zero other than "same" is left out.
std::string ComparisonCountsText(const RecordComparison& comparison);

// "- Verified" when the terminal holds exactly the file, "- Differs" when a
// record read differs, is missing or extra, else "- Not proven": what was
// read matches, but the read-back could not see the terminal's whole memory.
const char* Verdict(const RecordComparison& comparison);

// The listed differences, each indented by two blanks, then "  and 11 more"
// when more were found than listed.
std::vector<std::string> DifferenceLines(const RecordComparison& comparison);

// The headline (for a verdict not proven with why after its counts), then
// the difference lines.
std::vector<std::string> VerifyLines(const std::string& address,
                                     const RecordComparison& comparison);
