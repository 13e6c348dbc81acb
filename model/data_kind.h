// The data kinds a transfer moves and the report types, as the operator
// chooses them, with the data type code and the files of each.
#pragma once

#include <cstdint>

#include "model/controls.h"

enum class DataKind { Plu, Barcode, Ingredient, ScrollMsg, Speedkey, Report };

// The hidden choice buttons: one data kind, and with the reports one report type.
struct DataKindButtons {
  TRadioButton Plu, Barcode, Ingredient, ScrollMsg, Speedkey, Report;
  TRadioButton PluReport, TimeReport, GroupReport, DeptReport, ScaleIdReport, ClerkReport,
      TaxRateReport;

  // The data type code a download of the chosen kind sends; 0 for the
  // reports, which are only received.
  uint8_t DownloadCode() const;
  // The data type code an upload of the chosen kind or report type asks for;
  // 0 when none can be received (the speedkeys, the report types no transfer serves).
  uint8_t UploadCode() const;
};
