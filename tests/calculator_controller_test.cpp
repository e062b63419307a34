// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/calculator_controller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controller_checks.h"

namespace storagecalc {
namespace {

using oracle::capture;
using oracle::kMissingMessages;
using oracle::kPlaceholders;

// Positions of the worked example: 16 cameras, 2CIF, Q4, 3 IPS, no audio, 250 GB.
void chooseWorkedExample(CalculatorController& controller) {
    controller.cameras_Click(15);
    controller.resolution_Click(0);
    controller.quality_Click(3);
    controller.frameRate_Click(0);  // "3", the highest rate 16 cameras get at 2CIF
    controller.audio_Click(0);
    controller.hddsize_Click(0);
}

class ControllerTest : public ::testing::Test {
  protected:
    void SetUp() override { controller.Form_Load(); }

    const OptionList& list(ListId id) const { return controller.optionList(id); }

    void expectResults(const std::string& days, const std::string& hours) const {
        EXPECT_EQ(controller.daysText(), days);
        EXPECT_EQ(controller.hoursText(), hours);
    }

    CalculatorController controller;
};

TEST_F(ControllerTest, StartUpState) {
    EXPECT_EQ(controller.standard(), VideoStandard::NTSC);
    EXPECT_TRUE(controller.ntscChecked());
    EXPECT_FALSE(controller.palChecked());
    EXPECT_EQ(list(ListId::cameras).entries.size(), 16U);
    EXPECT_EQ(list(ListId::resolution).entries, oracle::kNtscResolutions);
    EXPECT_TRUE(list(ListId::quality).entries.empty());
    EXPECT_TRUE(list(ListId::frameRate).entries.empty());
    EXPECT_EQ(list(ListId::audio).entries.size(), 3U);
    EXPECT_EQ(list(ListId::hddsize).entries.size(), 4U);
    for (ListId id : kAllLists) {
        EXPECT_FALSE(list(id).selection);
        EXPECT_EQ(list(id).text, kPlaceholders.at(indexOf(id)));
    }
    expectResults("", "");
}

TEST_F(ControllerTest, WorkedExampleThroughThePicks) {
    chooseWorkedExample(controller);
    EXPECT_EQ(list(ListId::frameRate).text, "3");
    EXPECT_EQ(list(ListId::quality).text, "Q4 (13KB)");
    const ControllerOutcome outcome = controller.cmdCalculate_Click();
    EXPECT_FALSE(outcome.messageTitle);
    EXPECT_FALSE(outcome.focusList);
    expectResults("4.2", "101.7");
    // The same choices give the same texts again.
    controller.cmdCalculate_Click();
    expectResults("4.2", "101.7");
}

TEST_F(ControllerTest, DecimalSeparatorComesFromTheOwner) {
    CalculatorController comma(",");
    comma.Form_Load();
    chooseWorkedExample(comma);
    comma.cmdCalculate_Click();
    EXPECT_EQ(comma.hoursText(), "101,7");
    EXPECT_EQ(comma.daysText(), "4,2");
}

TEST_F(ControllerTest, CalculateWithNothingChosenAsksForCameras) {
    const ControllerOutcome outcome = controller.cmdCalculate_Click();
    ASSERT_TRUE(outcome.messageTitle);
    EXPECT_EQ(*outcome.messageTitle, "Missing Data");
    EXPECT_EQ(outcome.messageText, kMissingMessages.at(indexOf(ListId::cameras)));
    EXPECT_EQ(outcome.focusList, ListId::cameras);
}

TEST_F(ControllerTest, FailedCalculateKeepsShownResultsAndState) {
    chooseWorkedExample(controller);
    controller.cmdCalculate_Click();
    controller.quality_Change();  // typing in the field drops the choice, not the results
    expectResults("4.2", "101.7");
    EXPECT_EQ(list(ListId::quality).text, kPlaceholders.at(indexOf(ListId::quality)));
    CalculatorController before = controller;
    const ControllerOutcome outcome = controller.cmdCalculate_Click();
    EXPECT_EQ(outcome.messageText, kMissingMessages.at(indexOf(ListId::quality)));
    EXPECT_EQ(outcome.focusList, ListId::quality);
    EXPECT_EQ(capture(before), capture(controller));
}

TEST_F(ControllerTest, EveryPickEmptiesTheResults) {
    const std::vector<std::pair<ListId, int>> picks = {
        {ListId::cameras, 15},  {ListId::resolution, 0}, {ListId::quality, 3},
        {ListId::frameRate, 0}, {ListId::audio, 1},      {ListId::hddsize, 2}};
    for (const auto& [id, position] : picks) {
        chooseWorkedExample(controller);
        controller.cmdCalculate_Click();
        ASSERT_FALSE(controller.hoursText().empty());
        controller.click(id, position);
        expectResults("", "");
    }
}

TEST_F(ControllerTest, AudioPickChangesNoList) {
    chooseWorkedExample(controller);
    CalculatorController before = controller;
    controller.audio_Click(2);
    before.audio_Click(2);
    EXPECT_EQ(capture(before), capture(controller));
    EXPECT_EQ(list(ListId::quality).selection, 3);
    EXPECT_EQ(list(ListId::frameRate).selection, 0);
}

TEST_F(ControllerTest, CameraPickRefillsRatesOnlyOnceResolutionIsChosen) {
    controller.cameras_Click(4);
    EXPECT_TRUE(list(ListId::frameRate).entries.empty());
    controller.resolution_Click(0);
    EXPECT_EQ(list(ListId::frameRate).entries, oracle::expectedRates(VideoStandard::NTSC, 4, 0));
    controller.frameRate_Click(1);
    controller.cameras_Click(4);  // the same count again still drops the chosen rate
    EXPECT_FALSE(list(ListId::frameRate).selection);
    EXPECT_EQ(list(ListId::frameRate).text, kPlaceholders.at(indexOf(ListId::frameRate)));
}

TEST_F(ControllerTest, ResolutionPickRefillsBothListsAndDropsTheirChoices) {
    controller.cameras_Click(4);
    controller.resolution_Click(0);
    controller.quality_Click(2);
    controller.frameRate_Click(0);  // "10", offered at CIF as well
    controller.resolution_Click(1);
    EXPECT_EQ(list(ListId::quality).entries, oracle::kCifQualities);
    EXPECT_FALSE(list(ListId::quality).selection);
    EXPECT_EQ(list(ListId::frameRate).entries.front(), "15");
    EXPECT_FALSE(list(ListId::frameRate).selection);
}

TEST_F(ControllerTest, CameraPickWithoutResolutionKeepsTheRateList) {
    controller.cameras_Click(0);
    controller.resolution_Click(1);
    controller.frameRate_Click(2);
    controller.resolution_Change();
    controller.cameras_Click(9);
    EXPECT_EQ(list(ListId::frameRate).selection, 2);
    EXPECT_EQ(list(ListId::frameRate).text, "10");
    EXPECT_EQ(list(ListId::frameRate).entries.size(), 10U);
}

TEST_F(ControllerTest, ClearCommandsLeaveIdenticalStates) {
    chooseWorkedExample(controller);
    controller.cmdCalculate_Click();
    CalculatorController viaMenu = controller;
    controller.cmdClear_Click();
    viaMenu.mnuClear_Click();
    EXPECT_EQ(capture(controller), capture(viaMenu));
    CalculatorController fresh;
    fresh.Form_Load();
    EXPECT_EQ(capture(controller), capture(fresh));
    controller.cmdClear_Click();
    EXPECT_EQ(capture(controller), capture(fresh));
}

TEST_F(ControllerTest, StandardSwitchResetsEvenWhenAlreadyActive) {
    chooseWorkedExample(controller);
    controller.cmdCalculate_Click();
    controller.mnuNTSC_Click();
    CalculatorController fresh;
    fresh.Form_Load();
    EXPECT_EQ(capture(controller), capture(fresh));

    controller.mnuPAL_Click();
    EXPECT_EQ(controller.standard(), VideoStandard::PAL);
    EXPECT_FALSE(controller.ntscChecked());
    EXPECT_TRUE(controller.palChecked());
    controller.cmdClear_Click();
    EXPECT_EQ(controller.standard(), VideoStandard::PAL);
    EXPECT_EQ(list(ListId::resolution).entries, oracle::kPalResolutions);
    controller.cameras_Click(0);
    controller.resolution_Click(0);
    EXPECT_EQ(list(ListId::frameRate).entries.front(), "25");
}

TEST_F(ControllerTest, ChangeDropsOnlyThatChoice) {
    chooseWorkedExample(controller);
    controller.cmdCalculate_Click();
    controller.cameras_Change();
    EXPECT_FALSE(list(ListId::cameras).selection);
    EXPECT_EQ(list(ListId::cameras).text, kPlaceholders.at(indexOf(ListId::cameras)));
    EXPECT_EQ(list(ListId::cameras).entries.size(), 16U);
    EXPECT_EQ(list(ListId::frameRate).selection, 0);
    expectResults("4.2", "101.7");
    CalculatorController before = controller;
    controller.cameras_Change();  // no choice to drop: nothing changes
    EXPECT_EQ(capture(before), capture(controller));
}

TEST_F(ControllerTest, PositionsOutsideTheListChangeNothing) {
    chooseWorkedExample(controller);
    controller.cmdCalculate_Click();
    const CalculatorController before = controller;
    for (ListId id : kAllLists) {
        const int size = static_cast<int>(list(id).entries.size());
        for (int position : {-1, size, size + 1, std::numeric_limits<int>::min(),
                             std::numeric_limits<int>::max()}) {
            const ControllerOutcome outcome = controller.click(id, position);
            EXPECT_FALSE(outcome.messageTitle);
            EXPECT_EQ(capture(before), capture(controller))
                << static_cast<int>(id) << " " << position;
        }
    }
    CalculatorController empty;
    empty.Form_Load();
    EXPECT_FALSE(empty.quality_Click(0).messageTitle);  // nothing to choose yet
    EXPECT_TRUE(empty.optionList(ListId::quality).entries.empty());
}

CalculationResult failingCalculation(const Selections&, std::string_view) {
    throw ArithmeticError("division by zero");
}

TEST_F(ControllerTest, ArithmeticErrorBecomesAMessageAndKeepsTheState) {
    CalculatorController guarded(".", &failingCalculation);
    guarded.Form_Load();
    const CalculatorController before = guarded;
    ControllerOutcome outcome;
    ASSERT_NO_THROW(outcome = guarded.cmdCalculate_Click());
    ASSERT_TRUE(outcome.messageTitle);
    EXPECT_EQ(*outcome.messageTitle, "Calculation Error");
    EXPECT_FALSE(outcome.messageText.empty());
    EXPECT_EQ(outcome.messageText.find('\n'), std::string::npos);
    EXPECT_FALSE(outcome.focusList);
    EXPECT_EQ(capture(before), capture(guarded));
}

}  // namespace
}  // namespace storagecalc
