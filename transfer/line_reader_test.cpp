#include "transfer/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Lines(const TempFolder& folder, const std::string& content) {
  folder.Write("f.txt", content);
  LineReader reader(folder.File("f.txt"));
  EXPECT_TRUE(reader.IsOpen());
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(reader.Failed());
  return lines;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(LineReader, LinesEndWithCrLfOrLf) {
  TempFolder folder;
  EXPECT_EQ(Lines(folder, "a\r\nb\nc"), (Strings{"a", "b", "c"}));
  EXPECT_EQ(Lines(folder, "a\r\n\r\n\nb\r\n"), (Strings{"a", "", "", "b"}));
  // A CR that ends no line is part of the text.
  EXPECT_EQ(Lines(folder, "a\rb\r\n"), (Strings{"a\rb"}));
  EXPECT_EQ(Lines(folder, ""), Strings{});
}

TEST(LineReader, CtrlZEndsTheFile) {
  TempFolder folder;
  EXPECT_EQ(Lines(folder,
                  "a\nb\x1A"
                  "c\nd\n"),
            (Strings{"a", "b"}));
  EXPECT_EQ(Lines(folder,
                  "a\n\x1A"
                  "b\n"),
            (Strings{"a"}));
  EXPECT_EQ(Lines(folder,
                  "\x1A"
                  "a\n"),
            Strings{});
}

TEST(LineReader, LinesSpanningTheReadBufferComeBackWhole) {
  TempFolder folder;
  // 64 KiB reads: put a CR LF across the boundary and a line far longer than it.
  const std::string first(64 * 1024 - 1, 'a');
  const std::string longLine(200000, 'b');
  EXPECT_EQ(Lines(folder, first + "\r\n" + longLine + "\r\nend"),
            (Strings{first, longLine, "end"}));
}
