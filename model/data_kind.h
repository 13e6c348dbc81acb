// The data kinds a transfer moves and the report types, as the operator
// chooses them, with the data type code each one sends or asks for.
#pragma once

#include <cstdint>
#include <optional>

enum class DataKind { Plu, Barcode, Ingredient, ScrollMsg, Speedkey, Report };

// The reports a terminal keeps and a receive can ask for.
enum class ReportType { Plu, Time, Group, Dept };

// One data kind, and with the reports one report type.
struct KindChoice {
  DataKind kind = DataKind::Plu;
  // Chosen as the PLU report with each data kind; none before the first choice.
  std::optional<ReportType> report;

  // The data type code a download of the chosen kind sends; 0 for the
  // reports, which are only received.
  uint8_t DownloadCode() const;
  // The data type code an upload of the chosen kind or report type asks for;
  // 0 when none can be received (the speedkeys, the reports with no type).
  uint8_t UploadCode() const;
};

// The data type code of the record kind each choice stands for
// (records/record_kinds.h); the reports as a data kind have none.
uint8_t CodeOf(DataKind kind);
uint8_t CodeOf(ReportType type);
// The choice that stands for the record kind of data type `code`: a data
// kind, or the reports with a report type; none for a code no choice has.
std::optional<KindChoice> KindChoiceOfCode(uint8_t code);

// The names of `kind`'s download and upload files, found in the program
// folder, as the table of record kinds gives them; the reports have only
// an upload file.
const char* KindDownloadFile(DataKind kind);
const char* KindUploadFile(DataKind kind);
