// The log lines of one terminal's verification, for each kind of result.
#include "records/verify_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(VerifyLines, AHeadlineWithTheCountsThenTheListedDifferences) {
  using Lines = std::vector<std::string>;
  const struct {
    const char* name;
    RecordComparison comparison;
    Lines lines;
  } cases[] = {
      {"the same", {3334, 0, 0, 0, {}, 0, 0, "", {}}, {"- Verified 127.0.0.2: 3334 same"}},
      {"nothing on either side", {}, {"- Verified 127.0.0.2: 0 same"}},
      {"every count",
       {3330, 2, 1, 1, {"PLU 102 price: 199 in the file, 189 on the terminal"}, 0, 0, "", {}},
       {"- Differs 127.0.0.2: 3330 same, 2 different, 1 missing, 1 only on the terminal",
        "  PLU 102 price: 199 in the file, 189 on the terminal"}},
      {"only missing",
       {0, 0, 1, 0, {"PLU 104: missing on the terminal"}, 0, 0, "", {}},
       {"- Differs 127.0.0.2: 0 same, 1 missing", "  PLU 104: missing on the terminal"}},
      {"more than listed",
       {5, 0, 0, 12, {"PLU 900: only on the terminal"}, 11, 0, "", {}},
       {"- Differs 127.0.0.2: 5 same, 12 only on the terminal", "  PLU 900: only on the terminal",
        "  and 11 more"}},
      {"all read the same, the end no proof",
       {3, 0, 0, 0, {}, 0, 2, "the terminal ended its records at 65535", {}},
       {"- Not proven 127.0.0.2: 3 same, 2 not seen; the terminal ended its records at 65535"}},
      {"a difference read where the end is no proof",
       {2,
        1,
        0,
        0,
        {"PLU 2 price: 1 in the file, 2 on the terminal"},
        0,
        2,
        "the terminal did not end",
        {}},
       {"- Differs 127.0.0.2: 2 same, 1 different, 2 not seen",
        "  PLU 2 price: 1 in the file, 2 on the terminal"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(VerifyLines("127.0.0.2", c.comparison), c.lines);
  }
}

}  // namespace
