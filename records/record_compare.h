// Whether a terminal holds what a download file says: the file's records of
// one kind, as the checked download holds them, matched with the
// records the terminal sent back by record number and compared on every field
// a download writes. Texts compare up to their zero; unused bytes and fields
// no download writes never count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "records/checked_download.h"
#include "records/difference_text.h"

// One difference between a record of the file and the terminal's: a field
// that differs, a record missing on the terminal, or one only on it.
struct RecordDifference {
  enum class Kind { Field, Missing, Extra };
  Kind kind = Kind::Field;
  int64_t number = 0;  // the record's number
  // The field that differs, in the table of record kinds; none for Missing and Extra.
  const KindColumn* column = nullptr;
  // The field's value as shown (a text through the display, unquoted); empty
  // for Missing and Extra.
  std::string inFile;
  std::string onTerminal;
};

struct RecordComparison {
  int same = 0;
  int different = 0;  // held by both, with some field not the same
  int missing = 0;    // in the file, not on the terminal
  int extra = 0;      // on the terminal only
  // The first of them, readable (see DifferenceText): "PLU 102 price: 199
  // in the file, 189 on the terminal", "PLU 104: missing on the terminal",
  // "PLU 900: only on the terminal".
  std::vector<std::string> differences;
  int unlisted = 0;  // differences found beyond those listed
  // In the file, numbered above the last record read, when the read-back
  // could not see the terminal's whole memory: neither found nor missing.
  int unseen = 0;
  // Why the read-back does not prove that it saw every record the terminal
  // holds ("the terminal ended its records at 65535"); empty when it does.
  std::string unproven;
  // Every difference, in record number order: the listed ones come first.
  std::vector<RecordDifference> found;

  // A record read differs, or one is missing or extra.
  bool Differs() const { return different > 0 || missing > 0 || extra > 0; }
  // The terminal holds exactly the file: nothing differs, and the read-back
  // saw its whole memory.
  bool Matches() const { return !Differs() && unproven.empty(); }
  // Nothing read differs, but the read-back could not see everything.
  bool NotProven() const { return !Differs() && !unproven.empty(); }
};

struct CompareOptions {
  std::size_t listed = 10;  // differences kept as texts
  DisplayText display;      // empty: texts are shown as they are stored
  // Empty: the records compared are every record the terminal holds. Else
  // why the read-back may have missed some: the file's records numbered
  // above the last one read count as unseen, not missing.
  std::string unproven;
};

// A difference as a readable line, a text field's values in quotes.
std::string DifferenceText(const RecordKind& kind, const RecordDifference& difference);

// Compares the records of `file` with `terminal`, the records a terminal
// answered, each the raw bytes of the kind's layout, on every column of the
// kind. A record number the file holds twice counts once, as its last line:
// that is the record a terminal stores, each write replacing the one before.
RecordComparison CompareWithFile(const CheckedDownload& file,
                                 const std::vector<std::vector<uint8_t>>& terminal,
                                 const CompareOptions& options = {});
