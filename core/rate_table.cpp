// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/rate_table.h"

#include <array>
#include <stdexcept>

namespace storagecalc {

namespace {

// Position in the PAL sequence that stands for each position of the NTSC sequence:
// 30->25, 15->12, 10->8, 7->6, 6->6, 5->5, 4->4, 3->3, 2->2, 1->1.
constexpr std::array<int, 10> kPalCounterpart = {0, 1, 2, 3, 3, 4, 5, 6, 7, 8};

// Index of the highest rate in the NTSC sequence. The recorder shares its capacity
// between cameras: two cameras per step at 2CIF, four per step at CIF.
constexpr int ntscTopIndex(int cameraCount, int resolutionIndex) {
    const int camerasPerStep = resolutionIndex == 0 ? 2 : 4;
    return ((cameraCount + camerasPerStep - 1) / camerasPerStep) - 1;
}

}  // namespace

TextSpan RateTable::ratesFor(VideoStandard standard, int cameraCount, int resolutionIndex) {
    if (cameraCount < 1 || cameraCount > OptionCatalogue::kCameraCount || resolutionIndex < 0 ||
        resolutionIndex >= OptionCatalogue::kResolutionCount) {
        throw std::out_of_range("no recording rates for that camera count and resolution");
    }
    const int ntscTop = ntscTopIndex(cameraCount, resolutionIndex);
    const int top = standard == VideoStandard::PAL
                        ? kPalCounterpart.at(static_cast<std::size_t>(ntscTop))
                        : ntscTop;
    return TextSpan(OptionCatalogue::rateTexts(standard)).subspan(static_cast<std::size_t>(top));
}

SelectionUpdate RateTable::onCamerasClick(VideoStandard standard, std::optional<int> cameraPosition,
                                          std::optional<int> resolutionPosition) {
    SelectionUpdate update;
    if (!resolutionPosition || !cameraPosition) {
        return update;
    }
    update.rateItems = ratesFor(standard, *cameraPosition + 1, *resolutionPosition);
    return update;
}

SelectionUpdate RateTable::onResolutionClick(VideoStandard standard,
                                             std::optional<int> cameraPosition,
                                             std::optional<int> resolutionPosition) {
    SelectionUpdate update;
    if (!resolutionPosition) {
        return update;
    }
    update.qualityItems = TextSpan(OptionCatalogue::qualityTexts(*resolutionPosition));
    if (cameraPosition) {
        update.rateItems = ratesFor(standard, *cameraPosition + 1, *resolutionPosition);
    }
    return update;
}

}  // namespace storagecalc
