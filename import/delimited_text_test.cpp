// The export's rows: delimiters found and given, RFC 4180 quoting, line ends,
// and the rows that cannot be read as written.
#include "import/delimited_text.h"

#include <gtest/gtest.h>

namespace {

using Fields = std::vector<std::string>;

TEST(DelimitedText, FindsTheDelimiterFromTheFirstLine) {
  const struct {
    std::string line;
    std::optional<char> delimiter;
  } cases[] = {
      {"PLU;Name;Price", ';'},
      {"PLU,Name,Price", ','},
      {"PLU\tName\tPrice", '\t'},
      {"PLU;\"Name, long\";Price", ';'},  // the comma is inside quotes
      {"PLU;Name,Price", std::nullopt},   // as many of each
      {"Name", std::nullopt},
      {"\"a;b\",\"c;d\"", ','},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectDelimiter(c.line), c.delimiter) << c.line;
  EXPECT_EQ(FirstLine("\xEF\xBB\xBFPLU;Name\r\n1;x\r\n"), "PLU;Name");
}

TEST(DelimitedText, ReadsQuotedFieldsAsRfc4180) {
  const struct {
    std::string bytes;
    char delimiter;
    std::vector<Fields> rows;
    std::vector<int> lines;
  } cases[] = {
      {"a;b;c\r\n1;2;3\r\n", ';', {{"a", "b", "c"}, {"1", "2", "3"}}, {1, 2}},
      {"a,b\n1,2", ',', {{"a", "b"}, {"1", "2"}}, {1, 2}},
      {"a\tb\n", '\t', {{"a", "b"}}, {1}},
      {"\"x;y\";2\n", ';', {{"x;y", "2"}}, {1}},
      {"\"say \"\"hi\"\"\";2\n", ';', {{"say \"hi\"", "2"}}, {1}},
      {"\"two\r\nlines\";2\r\nnext;3\r\n", ';', {{"two\r\nlines", "2"}, {"next", "3"}}, {1, 3}},
      {"\"\";;\n", ';', {{"", "", ""}}, {1}},
      {"a;b\n\n\r\nc;d\n", ';', {{"a", "b"}, {"c", "d"}}, {1, 4}},
      {"\xEF\xBB\xBF"
       "a;b\r\n\x1A",
       ';',
       {{"a", "b"}},
       {1}},
  };
  for (const auto& c : cases) {
    const auto rows = SplitDelimited(c.bytes, c.delimiter);
    ASSERT_EQ(rows.size(), c.rows.size()) << c.bytes;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].fields, c.rows[i]) << c.bytes;
      EXPECT_EQ(rows[i].line, c.lines[i]) << c.bytes;
      EXPECT_EQ(rows[i].fault, "") << c.bytes;
    }
  }
}

TEST(DelimitedText, SaysWhyARowCannotBeRead) {
  const struct {
    std::string bytes;
    std::string fault;
  } cases[] = {
      {"ab\"c;2\n", "a quote inside field 1, which does not begin with one"},
      {"1;\"x\"y;2\n", "text after the closing quote of field 2"},
      {"1;\"open\n2;3\n", "the quote of field 2 is not closed before the end of the export"},
  };
  for (const auto& c : cases) {
    const auto rows = SplitDelimited(c.bytes, ';');
    ASSERT_FALSE(rows.empty()) << c.bytes;
    EXPECT_EQ(rows.front().fault, c.fault) << c.bytes;
  }
  // The row after a faulty one is read as it stands.
  const auto rows = SplitDelimited("1;\"x\"y\n2;3\n", ';');
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].fields, (Fields{"2", "3"}));
  EXPECT_EQ(rows[1].line, 2);
  EXPECT_EQ(rows[0].text, "1;\"x\"y");
}

}  // namespace
