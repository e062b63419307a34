#include "core/rate_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace storagecalc {
namespace {

using Texts = std::vector<std::string>;

Texts toTexts(TextSpan span) {
    return Texts(span.begin(), span.end());
}

// Highest rate offered, by camera count 1..16, written out as the product sheet gives it.
struct GridRow {
    VideoStandard standard;
    int resolution;
    std::array<int, 16> maximum;
};

constexpr std::array<GridRow, 4> kGrid = {{
    {VideoStandard::NTSC, 0, {30, 30, 15, 15, 10, 10, 7, 7, 6, 6, 5, 5, 4, 4, 3, 3}},
    {VideoStandard::NTSC, 1, {30, 30, 30, 30, 15, 15, 15, 15, 10, 10, 10, 10, 7, 7, 7, 7}},
    {VideoStandard::PAL, 0, {25, 25, 12, 12, 8, 8, 6, 6, 6, 6, 5, 5, 4, 4, 3, 3}},
    {VideoStandard::PAL, 1, {25, 25, 25, 25, 12, 12, 12, 12, 8, 8, 8, 8, 6, 6, 6, 6}},
}};

const std::array<int, 10> kNtscRates = {30, 15, 10, 7, 6, 5, 4, 3, 2, 1};
const std::array<int, 9> kPalRates = {25, 12, 8, 6, 5, 4, 3, 2, 1};

// The sequence of the standard from its maximum down to 1, built from numbers, not texts.
Texts expectedList(VideoStandard standard, int maximum) {
    Texts texts;
    bool started = false;
    const auto emit = [&](int rate) {
        started = started || rate == maximum;
        if (started) {
            texts.push_back(std::to_string(rate));
        }
    };
    if (standard == VideoStandard::NTSC) {
        for (int rate : kNtscRates)
            emit(rate);
    } else {
        for (int rate : kPalRates)
            emit(rate);
    }
    return texts;
}

TEST(RateTableTest, AllSixtyFourCellsMatchTheGrid) {
    int cells = 0;
    for (const GridRow& row : kGrid) {
        for (int cameras = 1; cameras <= 16; ++cameras) {
            const Texts expected = expectedList(row.standard, row.maximum.at(cameras - 1));
            ASSERT_GE(expected.size(), 3U);
            EXPECT_EQ(toTexts(RateTable::ratesFor(row.standard, cameras, row.resolution)), expected)
                << (row.standard == VideoStandard::NTSC ? "NTSC" : "PAL") << " resolution "
                << row.resolution << ", " << cameras << " cameras";
            ++cells;
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
    EXPECT_EQ(toTexts(*update.rateItems), (Texts{"6", "5", "4", "3", "2", "1"}));
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
        EXPECT_EQ(toTexts(*update.qualityItems), OptionCatalogue::qualityTexts(0));
        EXPECT_FALSE(update.rateItems);
    }
    const SelectionUpdate none = RateTable::onResolutionClick(VideoStandard::NTSC, 2, std::nullopt);
    EXPECT_FALSE(none.qualityItems);
    EXPECT_FALSE(none.rateItems);
}

}  // namespace
}  // namespace storagecalc
