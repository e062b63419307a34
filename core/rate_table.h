// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/option_catalogue.h"

namespace storagecalc {

using TextSpan = std::span<const std::string>;

// What a pick in the camera or resolution list refills. An absent list keeps its entries,
// its choice and its text; a present one is refilled with no entry chosen. Applying an
// update always empties both results as well.
struct SelectionUpdate {
    std::optional<TextSpan> qualityItems;
    std::optional<TextSpan> rateItems;
};

class RateTable {
  public:
    // The rates offered for one cell: a tail of the standard's sequence, highest first.
    // cameraCount runs from 1 to 16 and resolutionIndex is 0 (2CIF) or 1 (CIF); anything
    // outside those ranges throws std::out_of_range.
    static TextSpan ratesFor(VideoStandard standard, int cameraCount, int resolutionIndex);

    static SelectionUpdate onCamerasClick(VideoStandard standard, std::optional<int> cameraPosition,
                                          std::optional<int> resolutionPosition);
    static SelectionUpdate onResolutionClick(VideoStandard standard,
                                             std::optional<int> cameraPosition,
                                             std::optional<int> resolutionPosition);
};

}  // namespace storagecalc
