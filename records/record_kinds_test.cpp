// The table of record kinds is the one place a kind is described: a line of
// a download file fills the fields its columns name, a verification names a
// difference by the column's name, an upload line prints the columns in
// their order, and the sample files' header lines name the same columns. So
// a column's new name or limit is one edit of the table.
#include "records/record_kinds.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "records/difference_text.h"
#include "records/record_compare.h"
#include "records/upload_line.h"
#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"

namespace {

// A value of its own for each column of a line: a record number the file may
// hold, a number that fits any field, a text.
std::string ValueOf(const KindColumn& column, int position) {
  if (column.recordNumber) return "7";
  if (column.type == FieldType::Text) return "v" + std::to_string(position);
  return std::to_string(20 + position);
}

// The values of an upload line, in its order: split at its commas, blanks
// and line end dropped.
std::vector<std::string> LineValues(const std::string& line) {
  std::vector<std::string> values(1);
  for (const char c : line) {
    if (c == ',') {
      values.emplace_back();
    } else if (c != ' ' && c != '\r' && c != '\n') {
      values.back() += c;
    }
  }
  return values;
}

std::vector<const RecordKind*> SentKinds() {
  std::vector<const RecordKind*> kinds;
  for (const RecordKind& kind : RecordKinds()) {
    if (kind.writable) kinds.push_back(&kind);
  }
  return kinds;
}

}  // namespace

TEST(RecordKinds, EveryLookupFindsTheKindItNames) {
  std::set<std::string> names;
  for (const RecordKind& kind : RecordKinds()) {
    SCOPED_TRACE(kind.name);
    EXPECT_EQ(KindOfCode(kind.code), &kind);
    EXPECT_EQ(KindNamed(kind.name), &kind);
    EXPECT_EQ(KindOfLinkName(kind.linkName), &kind);
    EXPECT_EQ(RecordLength(kind.code), kind.size);
    EXPECT_TRUE(names.insert(kind.fileName).second) << "two kinds' received files share a name";
    // The simulator stores the records it is sent under the link name, and
    // is told a kind to dump by the command line's name.
    if (kind.writable) {
      EXPECT_STREQ(kind.name, kind.linkName);
    }
    EXPECT_EQ(kind.received, !kind.writable || kind.numbered);
  }
  EXPECT_EQ(KindNamed("report"), nullptr);
  EXPECT_EQ(KindOfCode(41), nullptr);
}

TEST(RecordKinds, ALineFillsTheColumnsFieldsAndEachFollowsItsNameIntoDifferencesAndUploadLines) {
  TempFolder folder;
  for (const RecordKind* kind : SentKinds()) {
    SCOPED_TRACE(kind->name);
    std::string line;
    for (std::size_t c = 0; c < kind->columns.size(); ++c) {
      line += (c ? "\t" : "") + ValueOf(kind->columns[c], static_cast<int>(c + 1));
    }
    folder.Write("Down.txt", line + "\n");
    const DownloadFileRead read = ReadDownloadFile(*kind, folder.File("Down.txt"), CodePage());
    ASSERT_FALSE(read.error) << read.error->what();
    const auto record = read.download->Records()[0].bytes;
    const std::vector<std::string> upload = LineValues(UploadLine(*kind, record, CodePage()));
    if (kind->line != LineFormat::None) {
      ASSERT_EQ(upload.size(), kind->columns.size());
    }
    for (std::size_t c = 0; c < kind->columns.size(); ++c) {
      const KindColumn& column = kind->columns[c];
      SCOPED_TRACE(column.name);
      const std::string value = ValueOf(column, static_cast<int>(c + 1));
      EXPECT_EQ(FieldValue(column, record), value);
      if (kind->line != LineFormat::None) {
        EXPECT_EQ(upload[c], value);
      }
      if (column.recordNumber) continue;
      // The terminal holds something else in this field alone.
      std::vector<uint8_t> terminal(record.begin(), record.end());
      terminal[column.offset] ^= 1;
      const RecordComparison comparison = CompareWithFile(*read.download, {terminal});
      ASSERT_EQ(comparison.differences.size(), 1u);
      const std::string numbered = kind->numbered ? std::string(" 7 ") : std::string(" ");
      EXPECT_TRUE(
          comparison.differences[0].starts_with(kind->label + numbered + column.name + ": "))
          << comparison.differences[0];
    }
  }
}

TEST(RecordKinds, ALongerTextThanItsColumnHoldsIsRefusedAtItsLimit) {
  TempFolder folder;
  for (const RecordKind* kind : SentKinds()) {
    for (std::size_t c = 0; c < kind->columns.size(); ++c) {
      const KindColumn& column = kind->columns[c];
      if (column.type != FieldType::Text) continue;
      SCOPED_TRACE(std::string(kind->name) + " " + column.name);
      for (const std::size_t length : {TextLimit(column), TextLimit(column) + 1}) {
        std::string line;
        for (std::size_t i = 0; i < kind->columns.size(); ++i) {
          line += (i ? "\t" : "") + (i == c ? std::string(length, 'x')
                                            : ValueOf(kind->columns[i], static_cast<int>(i + 1)));
        }
        folder.Write("Down.txt", line + "\n");
        const DownloadFileRead read = ReadDownloadFile(*kind, folder.File("Down.txt"), CodePage());
        EXPECT_EQ(read.records, length == TextLimit(column) ? 1 : 0);
      }
    }
  }
}

TEST(RecordKinds, TheSampleFilesHeaderLinesNameTheColumns) {
  for (const RecordKind* kind : SentKinds()) {
    if (!kind->numbered) continue;  // the speedkey file's first line is its record
    SCOPED_TRACE(kind->downloadFile);
    std::ifstream file(std::string(ORLENT_DATA_DIR "/") + kind->downloadFile);
    std::string header;
    ASSERT_TRUE(std::getline(file, header));
    if (header.ends_with('\r')) header.pop_back();
    std::string expected = std::string("; ") + kind->label + " download file: ";
    for (std::size_t c = 0; c < kind->columns.size(); ++c) {
      expected += (c ? ", " : "") + kind->columns[c].name;
    }
    EXPECT_EQ(header, expected);
  }
}
