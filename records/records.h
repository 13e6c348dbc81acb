// The data records exchanged with a terminal: packed, little-endian,
// fixed-size layouts, one per data kind, and the data type codes that name them.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little, "records are little-endian in memory");

// Data type codes: one byte that names the kind of a record.
inline constexpr uint8_t kCodePlu = 9;
inline constexpr uint8_t kCodeBarcode = 17;
inline constexpr uint8_t kCodeIngredient = 20;
inline constexpr uint8_t kCodeScrollMsg = 203;
inline constexpr uint8_t kCodeSpeedkey = 79;     // 'O'
inline constexpr uint8_t kCodeReportPlu = 45;    // '-'
inline constexpr uint8_t kCodeReportTime = 44;   // ','
inline constexpr uint8_t kCodeReportGroup = 43;  // '+'
inline constexpr uint8_t kCodeReportDept = 42;   // '*'

// Request and answer directions.
inline constexpr uint16_t kDirectionRead = 2;   // upload: read a record from the terminal
inline constexpr uint16_t kDirectionWrite = 3;  // download: write a record to the terminal
// Delete the record of the request's number from the terminal.
inline constexpr uint16_t kDirectionDelete = 4;

#pragma pack(push, 1)

struct PluRecord {
  uint16_t Field1;
  int32_t PluNo;
  uint8_t Field3;
  char Text[428];
  int32_t Field6;
  uint8_t Unused1[3];
  uint8_t Field9;
  int32_t Field5;
  uint8_t Unused2[28];
  uint16_t Field7;
  uint8_t Unused3[2];
  int32_t Field8;
  uint8_t Unused4[1235];
};

struct BarcodeRecord {
  uint16_t Number;
  uint8_t Field2;
  uint8_t Field3;
  char Text1[51];
  char Text2[101];
};

struct IngredientRecord {
  uint16_t Number;
  char Text[1025];
};

struct ScrollMsgRecord {
  uint16_t Number;
  uint8_t Unused1[1];
  char Text1[101];  // a terminal's status text arrives here
  char Text2[115];
  uint8_t Field3;
  uint8_t Unused2[4];
};

// Keys of each speedkey table that a speedkey download file fills; the
// entries after them are never written.
inline constexpr int kSpeedkeyFileKeys = 72;

struct SpeedkeyRecord {
  uint16_t Number;
  char Text[101];
  int32_t KeyTable1[100];
  int32_t KeyTable2[100];
};

struct ReportPluRecord {
  uint16_t Number;
  uint8_t Unused1[2];
  uint16_t Value0;
  uint8_t Year;  // years after 2000
  uint8_t Month;
  uint8_t Day;
  uint8_t Hour;
  uint8_t Minute;
  uint8_t Second;
  char Text[107];
  uint16_t Value1;
  int32_t Value2;
  uint16_t Value3;
  uint8_t Unused2[4];
  int32_t Value4;
  int32_t Value5;
  uint8_t Unused3[8];
  int32_t Value6;
  uint8_t Unused4[4];
  int32_t Value7;
  uint8_t Unused5[4];
  int32_t Value8;
  uint8_t Unused6[4];
  int32_t Value9;
  int32_t Value10;
  int32_t Value11;
};

// The time, group and department reports share this layout.
struct ReportTotalRecord {
  uint16_t Number;
  uint8_t Unused1[4];
  uint8_t Year;  // years after 2000
  uint8_t Month;
  uint8_t Day;
  uint8_t Hour;
  uint8_t Minute;
  uint8_t Second;
  char Text[107];
  int32_t Value1;
  int32_t Value2;
  int32_t Value3;
  int32_t Value4;
  int32_t Value5;
};

#pragma pack(pop)

static_assert(sizeof(PluRecord) == 1718);
static_assert(offsetof(PluRecord, Field1) == 0);
static_assert(offsetof(PluRecord, PluNo) == 2);
static_assert(offsetof(PluRecord, Field3) == 6);
static_assert(offsetof(PluRecord, Text) == 7);
static_assert(offsetof(PluRecord, Field6) == 435);
static_assert(offsetof(PluRecord, Unused1) == 439);
static_assert(offsetof(PluRecord, Field9) == 442);
static_assert(offsetof(PluRecord, Field5) == 443);
static_assert(offsetof(PluRecord, Unused2) == 447);
static_assert(offsetof(PluRecord, Field7) == 475);
static_assert(offsetof(PluRecord, Unused3) == 477);
static_assert(offsetof(PluRecord, Field8) == 479);
static_assert(offsetof(PluRecord, Unused4) == 483);

static_assert(sizeof(BarcodeRecord) == 156);
static_assert(offsetof(BarcodeRecord, Number) == 0);
static_assert(offsetof(BarcodeRecord, Field2) == 2);
static_assert(offsetof(BarcodeRecord, Field3) == 3);
static_assert(offsetof(BarcodeRecord, Text1) == 4);
static_assert(offsetof(BarcodeRecord, Text2) == 55);

static_assert(sizeof(IngredientRecord) == 1027);
static_assert(offsetof(IngredientRecord, Number) == 0);
static_assert(offsetof(IngredientRecord, Text) == 2);

static_assert(sizeof(ScrollMsgRecord) == 224);
static_assert(offsetof(ScrollMsgRecord, Number) == 0);
static_assert(offsetof(ScrollMsgRecord, Unused1) == 2);
static_assert(offsetof(ScrollMsgRecord, Text1) == 3);
static_assert(offsetof(ScrollMsgRecord, Text2) == 104);
static_assert(offsetof(ScrollMsgRecord, Field3) == 219);
static_assert(offsetof(ScrollMsgRecord, Unused2) == 220);

static_assert(sizeof(SpeedkeyRecord) == 903);
static_assert(offsetof(SpeedkeyRecord, Number) == 0);
static_assert(offsetof(SpeedkeyRecord, Text) == 2);
static_assert(offsetof(SpeedkeyRecord, KeyTable1) == 103);
static_assert(offsetof(SpeedkeyRecord, KeyTable2) == 503);

static_assert(sizeof(ReportPluRecord) == 183);
static_assert(offsetof(ReportPluRecord, Number) == 0);
static_assert(offsetof(ReportPluRecord, Unused1) == 2);
static_assert(offsetof(ReportPluRecord, Value0) == 4);
static_assert(offsetof(ReportPluRecord, Year) == 6);
static_assert(offsetof(ReportPluRecord, Month) == 7);
static_assert(offsetof(ReportPluRecord, Day) == 8);
static_assert(offsetof(ReportPluRecord, Hour) == 9);
static_assert(offsetof(ReportPluRecord, Minute) == 10);
static_assert(offsetof(ReportPluRecord, Second) == 11);
static_assert(offsetof(ReportPluRecord, Text) == 12);
static_assert(offsetof(ReportPluRecord, Value1) == 119);
static_assert(offsetof(ReportPluRecord, Value2) == 121);
static_assert(offsetof(ReportPluRecord, Value3) == 125);
static_assert(offsetof(ReportPluRecord, Unused2) == 127);
static_assert(offsetof(ReportPluRecord, Value4) == 131);
static_assert(offsetof(ReportPluRecord, Value5) == 135);
static_assert(offsetof(ReportPluRecord, Unused3) == 139);
static_assert(offsetof(ReportPluRecord, Value6) == 147);
static_assert(offsetof(ReportPluRecord, Unused4) == 151);
static_assert(offsetof(ReportPluRecord, Value7) == 155);
static_assert(offsetof(ReportPluRecord, Unused5) == 159);
static_assert(offsetof(ReportPluRecord, Value8) == 163);
static_assert(offsetof(ReportPluRecord, Unused6) == 167);
static_assert(offsetof(ReportPluRecord, Value9) == 171);
static_assert(offsetof(ReportPluRecord, Value10) == 175);
static_assert(offsetof(ReportPluRecord, Value11) == 179);

static_assert(sizeof(ReportTotalRecord) == 139);
static_assert(offsetof(ReportTotalRecord, Number) == 0);
static_assert(offsetof(ReportTotalRecord, Unused1) == 2);
static_assert(offsetof(ReportTotalRecord, Year) == 6);
static_assert(offsetof(ReportTotalRecord, Month) == 7);
static_assert(offsetof(ReportTotalRecord, Day) == 8);
static_assert(offsetof(ReportTotalRecord, Hour) == 9);
static_assert(offsetof(ReportTotalRecord, Minute) == 10);
static_assert(offsetof(ReportTotalRecord, Second) == 11);
static_assert(offsetof(ReportTotalRecord, Text) == 12);
static_assert(offsetof(ReportTotalRecord, Value1) == 119);
static_assert(offsetof(ReportTotalRecord, Value2) == 123);
static_assert(offsetof(ReportTotalRecord, Value3) == 127);
static_assert(offsetof(ReportTotalRecord, Value4) == 131);
static_assert(offsetof(ReportTotalRecord, Value5) == 135);

// Record size of a data type code; 0 for a code that names no record. The
// table of record kinds (records/record_kinds.h) gives it.
uint16_t RecordLength(uint8_t code);
