#include "import/shop_export.h"

#include <algorithm>

#include "import/delimited_text.h"
#include "import/money_text.h"
#include "records/checked_download.h"
#include "records/download_line.h"
#include "text/utf8.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// Why a line is refused; caught at the line and kept with it.
struct LineFault {
  std::string reason;
};

// The export's fields in UTF-8: checked as UTF-8, or turned from its set.
class SourceText {
 public:
  explicit SourceText(const std::string& encoding) {
    if (Lower(encoding) != "utf-8") set_ = CodePage::Named(encoding);
  }
  std::string Utf8(const std::string& bytes) const {
    if (set_) return set_->ToUtf8(bytes);
    const std::size_t valid = ValidUtf8Prefix(bytes);
    if (valid == bytes.size()) return bytes;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[valid]));
    throw LineFault{std::string("byte ") + byte +
                    " is not UTF-8: is the export in another character set (Encoding)?"};
  }
  // For a refused line's report: never refused itself.
  std::string Shown(const std::string& bytes) const {
    if (set_) return set_->ToUtf8(bytes);
    return bytes.substr(0, ValidUtf8Prefix(bytes));
  }

 private:
  std::optional<CodePage> set_;
};

// Each kind column's source, with header names resolved to positions.
struct ColumnPlan {
  const KindColumn* column;
  int position;  // from 1; 0 for a constant
  std::string constant;
  bool money;
};

std::vector<ColumnPlan> PlanColumns(const ImportProfile& profile,
                                    const std::vector<std::string>& header) {
  std::vector<ColumnPlan> plan;
  for (const KindColumn& column : profile.kind->columns) {
    const FieldSource& source = profile.fields.at(column.name);
    int position = source.position;
    if (!source.header.empty()) {
      const auto found = std::find_if(header.begin(), header.end(), [&](const std::string& name) {
        return Lower(Trimmed(name)) == Lower(source.header);
      });
      if (found == header.end()) {
        std::string names;
        for (const std::string& name : header) names += (names.empty() ? "" : ", ") + Trimmed(name);
        throw LineFault{"the header line has no column '" + source.header + "' (it has: " + names +
                        ")"};
      }
      position = static_cast<int>(found - header.begin()) + 1;
    }
    const bool money =
        std::find(profile.money.begin(), profile.money.end(), column.name) != profile.money.end();
    plan.push_back(ColumnPlan{&column, position, source.constant, money});
  }
  return plan;
}

class LineMaker {
 public:
  LineMaker(const ImportProfile& profile, std::vector<ColumnPlan> plan, const CodePage& set)
      : profile_(profile), plan_(std::move(plan)), set_(set), source_(profile.encoding) {}

  ImportedLine Make(const DelimitedRow& row) const {
    if (!row.fault.empty()) throw LineFault{row.fault};
    ImportedLine made;
    made.line = row.line;
    for (const ColumnPlan& column : plan_) {
      made.values.push_back(Value(row, column));
      if (&column != &plan_.front()) made.bytes += '\t';
      made.bytes += InTerminalSet(made.values.back(), column);
    }
    Check(made);
    return made;
  }
  std::string Shown(const std::string& text) const { return source_.Shown(text); }

 private:
  std::string Value(const DelimitedRow& row, const ColumnPlan& plan) const {
    const std::string& name = plan.column->name;
    if (plan.position == 0) return plan.constant;
    if (plan.position > static_cast<int>(row.fields.size())) {
      throw LineFault{"the line has " + std::to_string(row.fields.size()) + " fields; " + name +
                      " is in field " + std::to_string(plan.position)};
    }
    const std::string text = Trimmed(source_.Utf8(row.fields[plan.position - 1]));
    if (!plan.money) return text;
    const Cents cents = MoneyToCents(text, profile_.decimal);
    if (!cents.value) throw LineFault{name + ": " + cents.reason};
    return std::to_string(*cents.value);
  }

  std::string InTerminalSet(const std::string& text, const ColumnPlan& plan) const {
    if (plan.column->type != FieldType::Text || set_.PassesBytes() || IsAscii(text)) return text;
    TerminalText converted = set_.FromUtf8(text);
    if (converted.missing) {
      throw LineFault{plan.column->name + ": " + Quoted(converted.missing->character) +
                      " at character " + std::to_string(converted.missing->position) +
                      " is not in the terminal's character set " + set_.Name()};
    }
    return converted.bytes;
  }

  // The line as a send reads it: every column through the download file's checks.
  void Check(const ImportedLine& made) const {
    static const CodePage kBytes = *CodePage::Named(kNoCodePage);
    DownloadText texts("", kBytes);
    const LineColumns in(made.bytes, made.line, texts);
    int number = 0;
    for (const ColumnPlan& plan : plan_) {
      try {
        ++number;
        if (plan.column->type == FieldType::Text) {
          in.Text(number, plan.column->size);
        } else {
          in.Value(number, *plan.column);
        }
      } catch (const DownloadFileError& error) {
        throw LineFault{plan.column->name + ": " +
                        (error.Reason().empty() ? std::string(error.what()) : error.Reason())};
      }
    }
  }

  const ImportProfile& profile_;
  std::vector<ColumnPlan> plan_;
  const CodePage& set_;
  SourceText source_;
};

// Takes the rows one by one; a line past what the kind's file holds is refused.
void TakeRows(const LineMaker& maker, const RecordKind& kind, const std::vector<DelimitedRow>& rows,
              std::size_t first, ShopImport& result) {
  const std::size_t most = kind.numbered ? kDownloadCapacity : 1;
  for (std::size_t i = first; i < rows.size(); ++i) {
    try {
      if (result.lines.size() == most) {
        throw LineFault{"a " + std::string(kind.label) + " download file holds at most " +
                        std::to_string(most) + (most == 1 ? " record" : " records")};
      }
      result.lines.push_back(maker.Make(rows[i]));
    } catch (const LineFault& fault) {
      result.refused.push_back(RefusedLine{rows[i].line, fault.reason, maker.Shown(rows[i].text)});
    }
  }
}

}  // namespace

ShopImport ImportShopExport(const ImportProfile& profile, const std::string& exportBytes,
                            const CodePage& terminalSet) {
  ShopImport result;
  std::optional<char> delimiter = profile.delimiter;
  if (!delimiter) delimiter = DetectDelimiter(FirstLine(exportBytes));
  if (!delimiter) {
    result.error =
        "no delimiter can be told from the first line (as many commas, semicolons and tabs): "
        "name it in the profile";
    return result;
  }
  const std::vector<DelimitedRow> rows = SplitDelimited(exportBytes, *delimiter);
  if (profile.header && rows.empty()) {
    result.error = "the export is empty: it has no header line";
    return result;
  }
  try {
    const SourceText source(profile.encoding);
    std::vector<std::string> header;
    if (profile.header) {
      for (const std::string& field : rows.front().fields) header.push_back(source.Utf8(field));
    }
    const LineMaker maker(profile, PlanColumns(profile, header), terminalSet);
    TakeRows(maker, *profile.kind, rows, profile.header ? 1 : 0, result);
  } catch (const LineFault& fault) {
    result.error = fault.reason;
  }
  return result;
}
