#include "records/record_tables.h"

RecordTable<PluRecord> PluTable;
RecordTable<BarcodeRecord> BarcodeTable;
RecordTable<IngredientRecord> IngredientTable;
RecordTable<ScrollMsgRecord> ScrollMsgTable;
SpeedkeyRecord SpeedkeyData{};
