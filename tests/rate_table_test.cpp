// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/rate_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue_facts.h"

namespace storagecalc {
namespace {

using oracle::Texts;

Texts toTexts(TextSpan span) {
    return Texts(span.begin(), span.end());
}

TEST(RateTableTest, AllSixtyFourCellsMatchTheGrid) {
    int cells = 0;
    for (const VideoStandard standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        for (int resolution = 0; resolution < 2; ++resolution) {
            for (int cameras = 1; cameras <= 16; ++cameras) {
                const Texts expected = oracle::expectedRates(standard, cameras - 1, resolution);
                ASSERT_GE(expected.size(), 3U);
                EXPECT_EQ(toTexts(RateTable::ratesFor(standard, cameras, resolution)), expected)
                    << (standard == VideoStandard::NTSC ? "NTSC" : "PAL") << " resolution "
                    << resolution << ", " << cameras << " cameras";
                ++cells;
            }
        }
    }
    EXPECT_EQ(cells, 64);
}

TEST(RateTableTest, WrittenOutListsForTheNamedCases) {
    EXPECT_EQ(toTexts(RateTable::ratesFor(VideoStandard::NTSC, 16, 1)),
              (Texts{"7", "6", "5", "4", "3", "2", "1"}));
    EXPECT_EQ(toTexts(RateTable::ratesFor(VideoStandard::NTSC, 16, 0)), (Texts{"3", "2", "1"}));
    EXPECT_EQ(toTexts(RateTable::ratesFor(VideoStandard::PAL, 3, 0)),
              (Texts{"12", "8", "6", "5", "4", "3", "2", "1"}));
}

TEST(RateTableTest, CellsOutsideTheTableAreRefused) {
    EXPECT_THROW(RateTable::ratesFor(VideoStandard::NTSC, 0, 0), std::out_of_range);
    EXPECT_THROW(RateTable::ratesFor(VideoStandard::NTSC, 17, 1), std::out_of_range);
    EXPECT_THROW(RateTable::ratesFor(VideoStandard::PAL, 4, 2), std::out_of_range);
    EXPECT_THROW(RateTable::ratesFor(VideoStandard::PAL, 4, -1), std::out_of_range);
}

TEST(RateTableTest, CameraPickWithoutBothChoicesRefillsNothing) {
    for (auto [cameras, resolution] :
         {std::pair<std::optional<int>, std::optional<int>>{3, std::nullopt},
          {std::nullopt, 1},
          {std::nullopt, std::nullopt}}) {
        const SelectionUpdate update =
            RateTable::onCamerasClick(VideoStandard::NTSC, cameras, resolution);
        EXPECT_FALSE(update.qualityItems);
        EXPECT_FALSE(update.rateItems);
    }
}

TEST(RateTableTest, CameraPickNeverTouchesQuality) {
    const SelectionUpdate update = RateTable::onCamerasClick(VideoStandard::PAL, 6, 0);
    EXPECT_FALSE(update.qualityItems);
    ASSERT_TRUE(update.rateItems);
    EXPECT_EQ(toTexts(*update.rateItems), oracle::expectedRates(VideoStandard::PAL, 6, 0));
}

TEST(RateTableTest, ResolutionPickRefillsQualityAndRatesWhenCamerasChosen) {
    const SelectionUpdate update = RateTable::onResolutionClick(VideoStandard::NTSC, 4, 1);
    ASSERT_TRUE(update.qualityItems);
    EXPECT_EQ(update.qualityItems->front(), "Q7 (11KB)");
    ASSERT_TRUE(update.rateItems);
    EXPECT_EQ(update.rateItems->front(), "15");
}

TEST(RateTableTest, ResolutionPickWithoutCamerasRefillsQualityOnly) {
    for (auto standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        const SelectionUpdate update = RateTable::onResolutionClick(standard, std::nullopt, 0);
        ASSERT_TRUE(update.qualityItems);
        EXPECT_EQ(toTexts(*update.qualityItems), oracle::kTwoCifQualities);
        EXPECT_FALSE(update.rateItems);
    }
    const SelectionUpdate none = RateTable::onResolutionClick(VideoStandard::NTSC, 2, std::nullopt);
    EXPECT_FALSE(none.qualityItems);
    EXPECT_FALSE(none.rateItems);
}

}  // namespace
}  // namespace storagecalc
