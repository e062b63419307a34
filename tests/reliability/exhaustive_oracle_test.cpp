// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Every combination the window can offer, picked through the controller and checked against
// exact rational arithmetic. The core works in doubles; the oracle never does.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <variant>

#include "catalogue_facts.h"
#include "core/calculator_controller.h"
#include "recording_oracle.h"

namespace storagecalc::oracle {
namespace {

// 2 standards x 16 camera counts x 2 resolutions x 7 qualities x 3 audio modes x 4 disks, times
// the rates of each cell: the rate lists of the 16 camera counts add up to 104 at NTSC 2CIF, 136
// at NTSC CIF, 96 at PAL 2CIF and 120 at PAL CIF, 456 in all; 456 x 7 x 3 x 4 = 38304.
constexpr std::int64_t kCombinations = 38304;

constexpr int kQualityCount = static_cast<int>(kQualitiesPerSet);
constexpr int kAudioModes = static_cast<int>(std::size(kAudio));
constexpr int kDiskSizes = static_cast<int>(std::size(kDisks));

struct Tally {
    std::int64_t compared = 0;
    std::int64_t hourHalves = 0;
    std::int64_t dayHalves = 0;
    std::int64_t mismatches = 0;
};

CalculatorController loaded(VideoStandard standard, const std::string& separator) {
    CalculatorController controller(separator);
    controller.Form_Load();
    if (standard == VideoStandard::PAL) {
        controller.mnuPAL_Click();
    }
    return controller;
}

std::string fraction(std::int64_t numerator, std::int64_t denominator) {
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

// For a report on a mismatch only: the double the core works with, to every digit.
std::string coreHours(const CalculatorController& controller) {
    Selections selections;
    for (const ListId id : kAllLists) {
        const OptionList& list = controller.optionList(id);
        selections.at(indexOf(id)) = ChosenEntry{list.selection.value_or(0), list.text};
    }
    const CalculationResult result = calculateRecordingTime(selections);
    const auto* time = std::get_if<RecordingTime>(&result);
    if (time == nullptr) {
        return "(no result)";
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.25g", time->hours);
    return buffer;
}

// Picks one combination through the controller, calculates and compares with the oracle.
void compareOne(VideoStandard standard, int camera, int resolution, int quality, int rate,
                int audio, int disk, const std::string& separator, Tally& tally) {
    CalculatorController controller = loaded(standard, separator);
    controller.cameras_Click(camera);
    controller.resolution_Click(resolution);
    controller.quality_Click(quality);
    controller.frameRate_Click(rate);
    controller.audio_Click(audio);
    controller.hddsize_Click(disk);
    ASSERT_TRUE(controller.hoursText().empty() && controller.daysText().empty());
    const ControllerOutcome outcome = controller.cmdCalculate_Click();
    ASSERT_FALSE(outcome.messageTitle) << outcome.messageText;

    const std::string& qualityText = controller.optionList(ListId::quality).text;
    const std::string& rateText = controller.optionList(ListId::frameRate).text;
    const std::string& audioText = controller.optionList(ListId::audio).text;
    const std::string& diskText = controller.optionList(ListId::hddsize).text;
    // Every text the lists offer must be one the oracle knows; an unknown one would count as 0.
    ASSERT_TRUE(findValue(kQualities, qualityText)) << qualityText;
    ASSERT_TRUE(findRate(rateText)) << rateText;
    ASSERT_TRUE(findValue(kAudio, audioText)) << audioText;
    ASSERT_TRUE(findValue(kDisks, diskText)) << diskText;

    const auto expected =
        oracleRecordingTime(camera + 1, qualityText, rateText, audioText, diskText, separator);
    ASSERT_TRUE(expected);
    ++tally.compared;
    tally.hourHalves += expected->hours.exactHalf ? 1 : 0;
    tally.dayHalves += expected->days.exactHalf ? 1 : 0;
    if (controller.hoursText() != expected->hoursText ||
        controller.daysText() != expected->daysText) {
        ++tally.mismatches;
        ADD_FAILURE() << (standard == VideoStandard::PAL ? "PAL" : "NTSC") << ", " << camera + 1
                      << " cameras, \"" << controller.optionList(ListId::resolution).text
                      << "\", \"" << qualityText << "\", \"" << rateText << "\", \"" << audioText
                      << "\", \"" << diskText << "\"\n  hours exactly "
                      << fraction(expected->totalImages, expected->hoursDenominator)
                      << (expected->hours.exactHalf ? " (a tie)" : "") << ", as double "
                      << coreHours(controller) << "\n  expected " << expected->hoursText << " h, "
                      << expected->daysText << " d; got " << controller.hoursText() << " h, "
                      << controller.daysText() << " d";
    }
}

Tally compareEveryCombination(const std::string& separator) {
    Tally tally;
    for (const VideoStandard standard : {VideoStandard::NTSC, VideoStandard::PAL}) {
        for (int camera = 0; camera < 16; ++camera) {
            for (int resolution = 0; resolution < 2; ++resolution) {
                // The rates offered for the cell, as the window would show them.
                CalculatorController cell = loaded(standard, separator);
                cell.cameras_Click(camera);
                cell.resolution_Click(resolution);
                const Texts rates = cell.optionList(ListId::frameRate).entries;
                EXPECT_EQ(rates, expectedRates(standard, camera, resolution))
                    << camera + 1 << " cameras, resolution " << resolution;
                EXPECT_EQ(cell.optionList(ListId::quality).entries, qualitiesOf(resolution));
                for (int quality = 0; quality < kQualityCount; ++quality) {
                    for (int rate = 0; rate < static_cast<int>(rates.size()); ++rate) {
                        for (int audio = 0; audio < kAudioModes; ++audio) {
                            for (int disk = 0; disk < kDiskSizes; ++disk) {
                                compareOne(standard, camera, resolution, quality, rate, audio, disk,
                                           separator, tally);
                                if (::testing::Test::HasFatalFailure() || tally.mismatches > 20) {
                                    return tally;
                                }
                            }
                        }
                    }
                }
            }
        }
    }
    return tally;
}

void report(const char* label, const Tally& tally) {
    std::cout << "[ oracle   ] " << label << ": " << tally.compared << " combinations compared, "
              << tally.hourHalves << " exact halves in hours, " << tally.dayHalves << " in days, "
              << tally.mismatches << " mismatches\n";
    ::testing::Test::RecordProperty("combinations", std::to_string(tally.compared));
    ::testing::Test::RecordProperty("hour_halves", std::to_string(tally.hourHalves));
    ::testing::Test::RecordProperty("day_halves", std::to_string(tally.dayHalves));
}

TEST(ExhaustiveOracle, EveryCombinationGivesTheExactlyRoundedTexts) {
    const Tally tally = compareEveryCombination(".");
    report("point", tally);
    EXPECT_EQ(tally.compared, kCombinations);
    EXPECT_EQ(tally.mismatches, 0);
    // The ties are what tells half-to-even apart from half-up; the run must meet some.
    EXPECT_GT(tally.hourHalves, 0);
}

TEST(ExhaustiveOracle, CommaSeparatorGivesTheSameFigures) {
    const Tally tally = compareEveryCombination(",");
    report("comma", tally);
    EXPECT_EQ(tally.compared, kCombinations);
    EXPECT_EQ(tally.mismatches, 0);
}

// The oracle itself, on figures worked out by hand.
TEST(ExhaustiveOracle, OracleReproducesTheWorkedFigures) {
    for (const WorkedExample& example : kWorkedExamples) {
        const Choices& c = example.choices;
        const auto time =
            oracleRecordingTime(c.cameraPosition + 1, c.quality, c.rate, c.audio, c.disk);
        ASSERT_TRUE(time) << example;
        EXPECT_EQ(time->hoursText, example.hoursText) << example;
        EXPECT_EQ(time->daysText, example.daysText) << example;
    }
    const auto tie = oracleRecordingTime(1, "Q4 (13KB)", "25", "No Audio", "1 TB");
    ASSERT_TRUE(tie);
    EXPECT_TRUE(tie->hours.exactHalf);
    EXPECT_EQ(tie->totalImages, 70312500);
    EXPECT_FALSE(oracleRecordingTime(1, "Q4 (13kb)", "25", "No Audio", "1 TB"));
    EXPECT_FALSE(oracleRecordingTime(0, "Q4 (13KB)", "25", "No Audio", "1 TB"));
}

TEST(ExhaustiveOracle, OracleRoundsHalvesToEven) {
    EXPECT_EQ(formatTenths(roundToTenths(78125, 100), "."), "781.2");  // 781.25
    EXPECT_EQ(formatTenths(roundToTenths(78175, 100), "."), "781.8");  // 781.75
    EXPECT_EQ(formatTenths(roundToTenths(78126, 100), "."), "781.3");
    EXPECT_EQ(formatTenths(roundToTenths(-78125, 100), "."), "-781.2");
    EXPECT_EQ(formatTenths(roundToTenths(78125, -100), ","), "-781,2");
    EXPECT_EQ(formatTenths(roundToTenths(-4, 100), "."), "0");  // no "-0"
    EXPECT_EQ(formatTenths(roundToTenths(21701, 100), "."), "217");
    EXPECT_EQ(formatTenths(roundToTenths(5, 100), "."), "0");  // 0.05 exactly: to even 0.0
    EXPECT_EQ(formatTenths(roundToTenths(15, 100), "."), "0.2");
    EXPECT_TRUE(roundToTenths(78125, 100).exactHalf);
    EXPECT_FALSE(roundToTenths(78126, 100).exactHalf);
}

}  // namespace
}  // namespace storagecalc::oracle
