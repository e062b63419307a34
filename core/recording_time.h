// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "core/option_catalogue.h"

namespace storagecalc {

// A chosen entry: its position in the list and the text it shows.
struct ChosenEntry {
    int position = 0;
    std::string_view text;
};

// One selection per list, indexed by ListId; std::nullopt means nothing is chosen.
using Selections = std::array<std::optional<ChosenEntry>, kListCount>;

struct RecordingTime {
    double hours = 0.0;  // unrounded
    double days = 0.0;   // unrounded, from the unrounded hours
    std::string hoursText;
    std::string daysText;
};

struct MissingSelection {
    ListId list = ListId::cameras;
    std::string message;
};

using CalculationResult = std::variant<RecordingTime, MissingSelection>;

// Raised when the formula meets a division by zero, an invalid operation or an overflow,
// which only texts outside the catalogue can cause.
class ArithmeticError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The message shown when the given list has no choice.
const std::string& missingSelectionMessage(ListId list);

// Rounds the exact value of x to one decimal, ties to even, and writes it as the shortest
// plain decimal text: no grouping, no exponent, no trailing zero or separator.
std::string formatOneDecimal(double x, std::string_view decimalSeparator = ".");

CalculationResult calculateRecordingTime(const Selections& selections,
                                         std::string_view decimalSeparator = ".");

}  // namespace storagecalc
