// The rule of what counts of a record, tried on every byte of a record of
// every kind a download sends: FieldsOf changes exactly when a verification
// (CompareWithFile) finds the record changed, and only for the bytes of the
// columns' fields, a text's only up to its zero.
#include "held/record_digest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/record_compare.h"
#include "tests/support/download_records.h"
#include "tests/support/temp_folder.h"
#include "text/code_page.h"

namespace {

using Record = std::vector<uint8_t>;

struct KindFile {
  uint8_t code;
  std::string line;  // one record of the kind's download file
};

// Every key of both tables, numbered 1 to 144.
std::string SpeedkeyLine() {
  std::string line = "1";
  for (int key = 2; key <= 2 * kSpeedkeyFileKeys; ++key) line += "\t" + std::to_string(key);
  return line + "\n";
}

const KindFile kKindFiles[] = {
    {kCodePlu, "1\t102\t1\tPears\t199\t20003\t7\t5\t1\n"},
    {kCodeBarcode, "3\t1\t0\tPears\t200000300229\n"},
    {kCodeIngredient, "4\tIngredients: milk, salt.\n"},
    {kCodeScrollMsg, "5\tFresh bread\t2\n"},
    {kCodeSpeedkey, SpeedkeyLine()},
};

// How a change of one byte of a record counts, by where the byte lies.
enum class Counts { Not, Yes };

Counts ExpectedFor(const RecordKind& kind, const Record& record, std::size_t at) {
  for (const KindColumn& column : kind.columns) {
    if (at < column.offset || at >= column.offset + column.size) continue;
    if (column.type != FieldType::Text) return Counts::Yes;
    // A text counts up to its zero, the zero too: it ends the text.
    const auto begin = record.begin() + static_cast<std::ptrdiff_t>(column.offset);
    const auto zero = std::find(begin, begin + static_cast<std::ptrdiff_t>(column.size), 0);
    return at <= static_cast<std::size_t>(zero - record.begin()) ? Counts::Yes : Counts::Not;
  }
  return Counts::Not;  // no column writes it
}

TEST(RecordDigest, CountsExactlyTheBytesAVerificationCompares) {
  for (const KindFile& kindFile : kKindFiles) {
    const RecordKind& kind = *KindOfCode(kindFile.code);
    SCOPED_TRACE(kind.name);
    TempFolder folder;
    folder.Write("Down.txt", kindFile.line);
    const DownloadFileRead read = ReadKindFile(kind.code, folder.File("Down.txt"), CodePage());
    ASSERT_EQ(read.records, 1);
    const auto bytes = read.download->Records()[0].bytes;
    const Record original(bytes.begin(), bytes.end());
    const std::vector<uint8_t> fields = FieldsOf(kind, original);
    int counted = 0;
    for (std::size_t at = 0; at < original.size(); ++at) {
      Record changed = original;
      changed[at] = changed[at] == 0 ? 'x' : 0;
      const bool same = FieldsOf(kind, changed) == fields;
      const bool verifiedSame = CompareWithFile(*read.download, {changed}).Matches();
      ASSERT_EQ(same, verifiedSame) << "byte " << at;
      ASSERT_EQ(same, ExpectedFor(kind, original, at) == Counts::Not) << "byte " << at;
      EXPECT_EQ(same, DigestOf(FieldsOf(kind, changed)) == DigestOf(fields)) << "byte " << at;
      counted += same ? 0 : 1;
    }
    // Every column counts: each holds at least one byte that changes the fields.
    EXPECT_GE(counted, static_cast<int>(kind.columns.size()));
    EXPECT_EQ(RecordOfFields(kind, fields), original) << "the file's record has no other byte set";
  }
}

TEST(RecordDigest, TheSameTextInAnotherCharacterSetDiffers) {
  TempFolder folder;
  folder.Write("Down.txt", "1\t7\t1\tMüsli\t399\t1\t7\t0\t1\n");
  const DownloadFileRead western = ReadPluFile(folder.File("Down.txt"), CodePage());
  const DownloadFileRead dos = ReadPluFile(folder.File("Down.txt"), *CodePage::Named("CP437"));
  ASSERT_EQ(western.records, 1);
  ASSERT_EQ(dos.records, 1);
  const RecordKind& kind = *KindOfCode(kCodePlu);
  const auto a = FieldsOf(kind, western.download->Records()[0].bytes);
  const auto b = FieldsOf(kind, dos.download->Records()[0].bytes);
  EXPECT_NE(a, b);
  EXPECT_NE(DigestOf(a), DigestOf(b));
}

TEST(RecordDigest, RecordOfFieldsRefusesWhatFieldsOfNeverMakes) {
  const RecordKind& kind = *KindOfCode(kCodeIngredient);  // a number, then a text
  Record record(kind.size, 0);
  record[0] = 9;
  std::memcpy(record.data() + 2, "Salt", 4);
  const std::vector<uint8_t> fields = FieldsOf(kind, record);
  ASSERT_EQ(fields, (std::vector<uint8_t>{9, 0, 4, 0, 'S', 'a', 'l', 't'}));
  EXPECT_EQ(RecordOfFields(kind, fields), record);
  struct Case {
    const char* name;
    std::vector<uint8_t> fields;
  };
  const Case cases[] = {
      {"nothing", {}},
      {"a text cut short", {9, 0, 4, 0, 'S', 'a'}},
      {"a byte too many", {9, 0, 4, 0, 'S', 'a', 'l', 't', 0}},
      {"a zero inside the text", {9, 0, 4, 0, 'S', 0, 'l', 't'}},
      {"a text longer than its field", {9, 0, 0x02, 0x04}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(RecordOfFields(kind, c.fields).empty()) << c.name;
  }
}

TEST(RecordDigest, IsFnv1a64) {
  EXPECT_EQ(DigestOf({}), 0xcbf29ce484222325u);
  const std::vector<uint8_t> a = {'a'};
  EXPECT_EQ(DigestOf(a), 0xaf63dc4c8601ec8cu);
}

}  // namespace
