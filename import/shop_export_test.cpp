// An export through a profile into download lines: profiles by header name and
// by position, constants, encodings, bad lines with their reasons, and the
// write that refuses unless told to skip them.
#include "import/shop_export.h"

#include <gtest/gtest.h>

#include "import/import_file.h"
#include "records/download_files.h"
#include "tests/support/temp_folder.h"

namespace {

using Lines = std::vector<std::string>;

// A PLU profile: the PLU number, name and price from the export, the rest constant.
std::string PluProfile(const std::string& settings, const std::string& plu, const std::string& name,
                       const std::string& price) {
  return "[Shop]\r\nKind=plu\r\n" + settings + "Money=price\r\nColumn.PLU no=" + plu +
         "\r\nColumn.name=" + name + "\r\nColumn.price=" + price +
         "\r\nConstant.dept=1\r\nConstant.unit=1\r\nConstant.item code=0\r\n"
         "Constant.shelf days=7\r\nConstant.tare=0\r\nConstant.group=1\r\n";
}

ImportProfile Profile(const std::string& bytes) {
  const ImportProfileRead read = ParseImportProfile(bytes, "shop");
  EXPECT_TRUE(read.profile) << read.error;
  return read.profile.value_or(ImportProfile{});
}

Lines Taken(const ShopImport& result) {
  Lines lines;
  for (const ImportedLine& line : result.lines) lines.push_back(line.bytes);
  return lines;
}

TEST(ShopExport, TakesAnExportThroughItsProfile) {
  const struct {
    std::string what, profile, source;
    Lines lines;
  } cases[] = {
      {"header names, detected semicolon, decimal comma, windows-1252",
       PluProfile("Decimal=comma\r\nEncoding=windows-1252\r\n", "PLU", "Name", "Price"),
       "PLU;Name;Price\r\n7;K\xE4se;\"\x80 1,99\"\r\n",
       {"1\t7\t1\tK\xE4se\t199\t0\t7\t0\t1"}},
      {"header names in another order and case, comma, UTF-8 with a byte order mark",
       PluProfile("", "plu", "NAME", "price"),
       "\xEF\xBB\xBFPrice,Name,PLU\n1.99 EUR,\"K\xC3\xA4se, mild\",8\n",
       {"1\t8\t1\tK\xE4se, mild\t199\t0\t7\t0\t1"}},
      {"positions, no header line, tab given",
       PluProfile("Delimiter=tab\r\nHeader=no\r\n", "#3", "#1", "#2"),
       "Milk\t$0.89\t9\r\n",
       {"1\t9\t1\tMilk\t89\t0\t7\t0\t1"}},
  };
  for (const auto& c : cases) {
    const ShopImport result = ImportShopExport(Profile(c.profile), c.source, CodePage());
    EXPECT_EQ(result.error, "") << c.what;
    EXPECT_TRUE(result.refused.empty()) << c.what << ": " << result.refused.front().reason;
    EXPECT_EQ(Taken(result), c.lines) << c.what;
  }
}

TEST(ShopExport, RefusesEachBadLineWithItsReason) {
  const ImportProfile profile = Profile(PluProfile("Decimal=comma\r\n", "PLU", "Name", "Price"));
  const std::string source =
      "PLU;Name;Price\n1;Bread;2,49\n2;Rolls;1,995\n3;\"Tea\"x;1,00\n0;Zero;1,00\n"
      "4;Short\n5;Caf\xE9;1,00\n6;" +
      std::string(428, 'n') + ";1,00\n7;Ok;3\n";
  const ShopImport result = ImportShopExport(profile, source, CodePage());
  const std::vector<std::pair<int, std::string>> expected = {
      {3, "price: '1,995' has 3 decimals: a price is kept in whole cents and is never rounded"},
      {4, "text after the closing quote of field 2"},
      {5,
       "PLU no: 0 is not a PLU number from 1 to 2147483647 other than 65535: a read-back of "
       "the terminal starts at 1, and an answer numbered 0 or 65535 ends it"},
      {6, "the line has 2 fields; price is in field 3"},
      {7, "byte 0xE9 is not UTF-8: is the export in another character set (Encoding)?"},
      {8, "name: Text too long in line 8, column 4: 428 characters, at most 427 fit !"},
  };
  ASSERT_EQ(result.refused.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.refused[i].line, expected[i].first);
    EXPECT_EQ(result.refused[i].reason, expected[i].second);
  }
  EXPECT_EQ(result.refused[1].text, "3;\"Tea\"x;1,00");
  EXPECT_EQ(Taken(result),
            (Lines{"1\t1\t1\tBread\t249\t0\t7\t0\t1", "1\t7\t1\tOk\t300\t0\t7\t0\t1"}));
}

TEST(ShopExport, RefusesProfilesAndExportsThatCannotBeUsed) {
  const struct {
    std::string profile, source, error;
  } cases[] = {
      {PluProfile("", "PLU", "Name", "Preis"), "PLU;Name;Price\n1;a;1\n",
       "the header line has no column 'Preis' (it has: PLU, Name, Price)"},
      {PluProfile("", "PLU", "Name", "Price"), "PLU;Name,Price\n",
       "no delimiter can be told from the first line (as many commas, semicolons and tabs): "
       "name it in the profile"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImportShopExport(Profile(c.profile), c.source, CodePage()).error, c.error);
  }
  const struct {
    std::string profile, error;
  } profiles[] = {
      {"[Shop]\r\nKind=report-plu\r\n", "Kind 'report-plu' is no kind a download file holds"},
      {"[Shop]\r\nKind=plu\r\nColumn.PLU no=#1\r\n",
       "no column or constant gives the field 'dept'"},
      {"[Shop]\r\nKind=plu\r\nColumn.weight=#1\r\n", "the kind plu has no field 'weight'"},
      {"[Shop]\r\nKind=plu\r\nColumn.name=#0\r\n", "'#0' is no column position (#1, #2, ...)"},
      {"[Shop]\r\nKind=plu\r\nDelimiter=pipe\r\n", "Delimiter is auto, comma, semicolon or tab"},
      {"[Shop]\r\nKind=plu\r\nMoney=name\r\n",
       "Money names 'name', which is no number field of the kind"},
  };
  for (const auto& p : profiles) {
    EXPECT_EQ(ParseImportProfile(p.profile, "Shop").error,
              "the import profile 'Shop' cannot be used: " + p.error);
  }
  EXPECT_EQ(ParseImportProfile(profiles[0].profile, "Other").error,
            "there is no import profile 'Other'");
  EXPECT_EQ(ImportProfileNames("[A]\r\nKind=plu\r\n[B b]\r\n"), (Lines{"A", "B b"}));
}

TEST(ShopExport, WritesNothingWhileALineIsRefusedUnlessToldToSkipIt) {
  TempFolder folder;
  const ImportProfile profile = Profile(PluProfile("Decimal=comma\r\n", "PLU", "Name", "Price"));
  const ShopImport result =
      ImportShopExport(profile, "PLU;Name;Price\n1;Bread;2,49\n2;Rolls;1,995\n", CodePage());
  const std::string out = folder.File("PLU-Down.txt");
  folder.Write("PLU-Down.txt", "old");
  const ImportWritten refused = WriteImport(result, profile, "shop.csv", out, CodePage(), false);
  EXPECT_FALSE(refused.written);
  EXPECT_EQ(refused.error, "1 line is refused; nothing is written (--skip-bad writes the others)");
  EXPECT_EQ(folder.Read("PLU-Down.txt"), "old");

  const ImportWritten skipped = WriteImport(result, profile, "shop.csv", out, CodePage(), true);
  ASSERT_TRUE(skipped.written) << skipped.error;
  EXPECT_EQ(skipped.refusedFile, RefusedFileFor(out));
  EXPECT_EQ(
      folder.Read("PLU-Down.txt"),
      "; PLU download file imported from shop.csv by the profile Shop: dept, PLU no, unit, "
      "name, price, item code, shelf days, tare, group\r\n1\t1\t1\tBread\t249\t0\t7\t0\t1\r\n");
  EXPECT_EQ(
      folder.Read("PLU-Down.txt.refused.txt"),
      "; lines of shop.csv not imported: line, reason, the line\r\nline 3\tprice: '1,995' has "
      "3 decimals: a price is kept in whole cents and is never rounded\t2;Rolls;1,995\r\n");
  EXPECT_EQ(ReadDownloadFile(*profile.kind, out, CodePage()).records, 1);
}

}  // namespace
