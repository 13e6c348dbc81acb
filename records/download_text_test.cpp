// The texts of a download file in the terminal's character set: a UTF-8 file
// converted, a file in the set already kept as it is, a character the set
// lacks refused with its place.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"

namespace {

std::string PluLine(const std::string& text) {
  return "1\t101\t1\t" + text + "\t5\t6\t7\t8\t9\r\n";
}

}  // namespace

TEST(DownloadText, AUtf8FileIsConvertedAnyOtherKeptAndAMissingCharacterRefused) {
  const std::string at = "Error in input file ! (PLU-Down.txt, line 2, column 4: ";
  std::string utf8Full, setFull;
  for (int i = 0; i < 427; ++i) utf8Full += "\u00e9", setFull += "\xe9";
  const struct {
    const char* codePage;
    std::string file;     // two lines: the first one plain
    std::string stored;   // the second line's text as stored
    std::string refusal;  // else empty
  } cases[] = {
      {"windows-1252", PluLine("Apples") + PluLine("Cr\u00e8me br\u00fbl\u00e9e"),
       "Cr\xe8me br\xfbl\xe9"
       "e",
       ""},
      {"windows-1252", PluLine("plain") + PluLine("caf\u00e9 \u0141\u00f3d\u017a"), "",
       at + "'\u0141' at character 6 is not in the terminal's character set windows-1252)"},
      {"ISO-8859-2", PluLine("plain") + PluLine("\u0141\u00f3d\u017a"),
       "\xa3\xf3"
       "d\xbc",
       ""},
      // Not UTF-8 anywhere: the bytes are the set's, kept as they are.
      {"windows-1252", PluLine("caf\xe9") + PluLine("Cr\xe8me \xc3"), "Cr\xe8me \xc3", ""},
      {"none", PluLine("plain") + PluLine("Cr\u00e8me \u0141"), "Cr\u00e8me \u0141", ""},
      // The terminal's bytes are counted against the field.
      {"windows-1252", PluLine("plain") + PluLine(utf8Full), setFull, ""},
      {"none", PluLine("plain") + PluLine(utf8Full), "",
       "Text too long in line 2, column 4: 854 characters, at most 427 fit ! (PLU-Down.txt, "
       "line 2, column 4)"},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.codePage + (": " + c.file.substr(0, 60)));
    folder.Write("PLU-Down.txt", c.file);
    const std::string path = folder.File("PLU-Down.txt");
    const DownloadFileRead read = ReadPluFile(path, *CodePage::Named(c.codePage));
    EXPECT_EQ(read.error ? read.error->Describe(path) : "", c.refusal);
    if (c.refusal.empty()) {
      EXPECT_EQ(std::string(RecordAt<PluRecord>(*read.download, 2).Text), c.stored);
    }
  }
}

// A file that holds UTF-8 and other bytes is refused at its first other
// byte, by its line, column and character, wherever it is (a comment too). A
// byte order mark is no part of line 1, and says the file is UTF-8.
TEST(DownloadText, AFileMixingUtf8AndOtherBytesIsRefusedAtTheFirstOtherByte) {
  const std::string bom = "\xef\xbb\xbf";
  const std::string mixes =
      " is not UTF-8; the file mixes UTF-8 and other bytes: save it in one character set)";
  const struct {
    std::string file;
    std::string refusal;  // else empty
    std::string stored;   // record 1's text when the file is taken
  } cases[] = {
      {PluLine("Cr\u00e8me") + PluLine("Caf\xe9"),
       "Error in input file ! (PLU-Down.txt, line 2, column 4: byte 0xE9 at character 4" + mixes,
       ""},
      {PluLine("caf\xe9 cr\u00e8me"),
       "Error in input file ! (PLU-Down.txt, line 1, column 4: byte 0xE9 at character 4" + mixes,
       ""},
      {PluLine("Cr\u00e8me br\xfbl\u00e9e"),
       "Error in input file ! (PLU-Down.txt, line 1, column 4: byte 0xFB at character 9" + mixes,
       ""},
      {PluLine("plain") + ";\tnot\xe9\r\n" + PluLine("\u0141\u00f3d\u017a"),
       "Error in input file ! (PLU-Down.txt, line 2, column 2: byte 0xE9 at character 4" + mixes,
       ""},
      // A byte order mark and windows-1252 bytes: the characters count after the mark.
      {bom + PluLine("caf\xe9"),
       "Error in input file ! (PLU-Down.txt, line 1, column 4: byte 0xE9 at character 4" + mixes,
       ""},
      {bom + PluLine("Cr\u00e8me"), "", "Cr\xe8me"},
      {bom + ";comment\r\n" + PluLine("plain"), "", "plain"},
      {bom + "y" + PluLine("plain"),
       "I/O Error ! (PLU-Down.txt, line 1, column 1: 'y1' is not a whole number from "
       "-2147483648 to 2147483647)",
       ""},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    folder.Write("PLU-Down.txt", c.file);
    const std::string path = folder.File("PLU-Down.txt");
    const DownloadFileRead read = ReadPluFile(path, CodePage());
    EXPECT_EQ(read.error ? read.error->Describe(path) : "", c.refusal);
    if (!read.error) {
      EXPECT_EQ(std::string(RecordAt<PluRecord>(*read.download, 1).Text), c.stored);
    }
  }
}
