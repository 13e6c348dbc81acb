// The download files: tab-separated text, one record per line, parsed into
// the record tables. Each parser reads and checks the whole file and returns
// the number of records it stored. A file with any fault, or with no record,
// is refused as a whole: the parser shows the error box ("Error in input
// file !", "I/O Error !", ...) with the file, line and column, and returns 0.
#pragma once

#include <string>

class TForm1;

int ReadPluFile(TForm1& form, const std::string& path);
int ReadBarcodeFile(TForm1& form, const std::string& path);
int ReadIngredientFile(TForm1& form, const std::string& path);
int ReadScrollMsgFile(TForm1& form, const std::string& path);
int ReadSpeedkeyFile(TForm1& form, const std::string& path);
