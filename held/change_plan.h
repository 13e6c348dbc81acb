// The choice of what a changes send sends one terminal: the records of the
// file whose fields differ from what the terminal holds, or that it does not
// hold; and, when asked, the record numbers it holds that the file no longer
// has, to delete. A terminal with nothing held is sent the whole file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "held/held_store.h"
#include "records/checked_download.h"
#include "records/difference_text.h"

// One field a changed record changes, readable: "price", "189", "199"; a
// text in quotes, as a verification shows it: "name", "\"Pears\"", "\"Plums\"".
struct FieldChange {
  std::string column;
  std::string held;
  std::string inFile;
};

struct RecordChange {
  int64_t number = 0;
  bool fresh = false;  // not held at all; else held with other fields
  // Of a changed record; none when the held fields are of no record of the kind.
  std::vector<FieldChange> fields;
};

struct ChangePlan {
  std::vector<DownloadRecord> toSend;  // new and changed, in file order, each number once
  std::vector<int64_t> toDelete;       // held, not in the file; empty unless deletes were asked
  int fresh = 0;                       // of toSend: not held
  int changed = 0;                     // of toSend: held with other fields
  int unchanged = 0;                   // in the file and held with the same fields
  int missing = 0;                     // held, not in the file (deleted or not)
  bool nothingHeld = false;            // every record of the file is sent
  std::vector<RecordChange> changes;   // each record of toSend, with its fields, in number order

  int Total() const { return fresh + changed + unchanged; }  // the file's record numbers
  bool NeedsNothing() const { return toSend.empty() && toDelete.empty(); }
};

// Turns a text field's stored bytes into the text shown (the terminal's
// character set to UTF-8); empty: shown as stored.
using HeldText = DisplayText;

// What `file` changes on a terminal holding `held`. A record number the file
// holds twice counts once, as its last line: that is the record a terminal
// ends up storing.
ChangePlan PlanChanges(const CheckedDownload& file, const HeldRecords& held, bool deleteMissing,
                       const HeldText& text = {});

// "PLU 102 price: 189 held, 199 in the file", "PLU 104: new", one per field
// change ("PLU 102: changed" when no field can be named), for a listing.
std::vector<std::string> ChangeLines(const RecordKind& kind, const RecordChange& change);

// "PLU 900: held, not in the file": a record of toDelete, or one left alone.
std::string MissingLine(const RecordKind& kind, int64_t number);
