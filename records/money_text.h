// Prices as the operator types them: the download file keeps whole cents
// ("1230"), the item editor takes money with two decimals ("12.30") and
// shows it as the reports do (MoneyText in reports/report_cells.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The cents of money as typed: an optional sign, digits, and at most two
// decimals after a point ("12", "12.3", "-0.05", ".5"), in decimal, as a
// file's column holds them ("1230"). None for any other text, such as
// "12,345" or "12.345": a price is never rounded nor guessed.
std::optional<std::string> CentsOfMoney(std::string_view typed);

// Why CentsOfMoney took nothing of `typed`, for the cell that shows it.
std::string MoneyRefusal(std::string_view typed);
