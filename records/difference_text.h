// How a record and its fields are named in a readable difference: the
// record by its kind's label and number ("PLU 102"), a number field in
// decimal, a text field in quotes as the operator reads it. A verification's
// differences and a changes send's plan say them alike.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "records/record_kinds.h"

// Turns a text field's stored bytes into the text shown.
using DisplayText = std::function<std::string(std::string_view)>;

// "PLU 102"; the label alone for an unnumbered kind ("Speedkey").
std::string RecordName(const RecordKind& kind, int64_t number);

// A field's value as a difference compares it: a text's stored bytes up to
// its zero, a number in decimal (an unsigned one without sign).
std::string FieldValue(const KindColumn& field, std::span<const uint8_t> record);

// `value` (as FieldValue made it) as shown: a number as it is, a text in
// quotes through `display` (empty: as stored).
std::string ShownValue(const KindColumn& field, const std::string& value,
                       const DisplayText& display);
