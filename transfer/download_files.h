// The download files: tab-separated text, one record per line, parsed into
// the record tables. Each parser returns the number of records it stored and
// reports "Error in input file !" or "I/O Error !" in the error box.
#pragma once

#include <string>

class TForm1;

int ReadPluFile(TForm1& form, const std::string& path);
int ReadBarcodeFile(TForm1& form, const std::string& path);
int ReadIngredientFile(TForm1& form, const std::string& path);
int ReadScrollMsgFile(TForm1& form, const std::string& path);
int ReadSpeedkeyFile(TForm1& form, const std::string& path);
