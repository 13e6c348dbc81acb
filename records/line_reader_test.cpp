#include "records/line_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "records/download_file_error.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Lines(const TempFolder& folder, const std::string& content) {
  folder.Write("f.txt", content);
  LineReader reader(folder.File("f.txt"));
  EXPECT_TRUE(reader.IsOpen());
  EXPECT_NO_THROW(reader.RequireOpen());
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line)) {
    lines.push_back(line);
    EXPECT_EQ(reader.LineNumber(), static_cast<int>(lines.size()));
  }
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

TEST(LineReader, AByteOrderMarkThatBeginsTheFileIsNoPartOfItsFirstLine) {
  TempFolder folder;
  const std::string bom = "\xEF\xBB\xBF";
  EXPECT_EQ(Lines(folder, bom + "a\r\n" + bom + "b\n"), (Strings{"a", bom + "b"}));
  EXPECT_EQ(Lines(folder, bom + "\r\nb"), (Strings{"", "b"}));
  EXPECT_EQ(Lines(folder, " " + bom + "a"), (Strings{" " + bom + "a"}));
}

TEST(LineReader, ACtrlZMayEndTheFileAsItsLastByteOnly) {
  TempFolder folder;
  EXPECT_EQ(Lines(folder, "a\nb\x1A"), (Strings{"a", "b"}));
  EXPECT_EQ(Lines(folder, "a\r\n\x1A"), (Strings{"a"}));
  EXPECT_EQ(Lines(folder, "\x1A"), Strings{});
  // Anywhere else it would drop the lines after it: the reader names its place.
  const struct {
    std::string content;
    std::string reason;
  } early[] = {
      {"a\nb\x1A"
       "c\nd\n",
       "line 2: a Ctrl-Z at character 2 ends the file before its last byte"},
      {"a\n\x1A\n", "line 2: a Ctrl-Z at character 1 ends the file before its last byte"},
      {"\x1A\x1A", "line 1: a Ctrl-Z at character 1 ends the file before its last byte"},
      // The byte after it lies beyond the 64 KiB read buffer.
      {std::string(64 * 1024 - 1, 'a') + "\x1A" + "b",
       "line 1: a Ctrl-Z at character 65536 ends the file before its last byte"},
  };
  for (const auto& [content, reason] : early) {
    folder.Write("f.txt", content);
    LineReader reader(folder.File("f.txt"));
    std::string line;
    try {
      while (reader.ReadLine(line)) {
      }
      ADD_FAILURE() << "no error for " << reason;
    } catch (const DownloadFileError& error) {
      EXPECT_EQ(error.Describe("f.txt"), "Error in input file ! (f.txt, " + reason + ")");
    }
  }
}

TEST(LineReader, OpensOnlyARegularFileAndNeverWaitsForAWriter) {
  TempFolder folder;
  ASSERT_EQ(mkfifo(folder.File("fifo").c_str(), 0600), 0);
  const struct {
    std::string path;
    std::string failure;
  } refused[] = {
      {folder.File("fifo"), "not a regular file"},
      {folder.path(), "a folder, not a file"},
      {folder.File("missing.txt"), "the file cannot be opened: No such file or directory"},
  };
  for (const auto& [path, failure] : refused) {
    LineReader reader(path);
    EXPECT_FALSE(reader.IsOpen()) << path;
    EXPECT_EQ(reader.OpenFailure(), failure);
    try {
      reader.RequireOpen();
      ADD_FAILURE() << "not refused: " << path;
    } catch (const DownloadFileError& error) {
      EXPECT_STREQ(error.what(), kIoError);
      EXPECT_EQ(error.Reason(), failure);
    }
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
  }
}

TEST(LineReader, LinesSpanningTheReadBufferComeBackWhole) {
  TempFolder folder;
  // 64 KiB reads: put a CR LF across the boundary and a line far longer than it.
  const std::string first(64 * 1024 - 1, 'a');
  const std::string longLine(200000, 'b');
  EXPECT_EQ(Lines(folder, first + "\r\n" + longLine + "\r\nend"),
            (Strings{first, longLine, "end"}));
}
