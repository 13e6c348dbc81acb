// The files of each data kind: the download file it is sent from and the
// upload file it is received into, both named in the program folder. The
// reports are only received: they have no download file.
#pragma once

struct DataKindFiles {
  const char* downloadFile;
  const char* uploadFile;
};

inline constexpr DataKindFiles kPluFiles{"PLU-Down.txt", "PLU-Up.txt"};
inline constexpr DataKindFiles kBarcodeFiles{"Barcode-Down.txt", "Barcode-Up.txt"};
inline constexpr DataKindFiles kIngredientFiles{"Ingredient-Down.txt", "Ingredient-Up.txt"};
inline constexpr DataKindFiles kScrollMsgFiles{"ScrollMsg-Down.txt", "ScrollMsg-Up.txt"};
inline constexpr DataKindFiles kSpeedkeyFiles{"Speedkey-Down.txt", "Speedkey-Up.txt"};
inline constexpr DataKindFiles kReportFiles{"", "reportPLU-up.txt"};
