// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "core/calculator_controller.h"

#include <utility>

namespace storagecalc {

CalculatorController::CalculatorController(std::string decimalSeparator,
                                           CalculateFunction calculate)
    : m_decimalSeparator(std::move(decimalSeparator)),
      m_calculate(calculate != nullptr ? calculate : &calculateRecordingTime) {
    for (const ListId id : kAllLists) {
        list(id).text = OptionCatalogue::placeholder(id);
    }
}

ControllerOutcome CalculatorController::Form_Load() {
    setStandard(VideoStandard::NTSC);
    resetAll();
    return {};
}

ControllerOutcome CalculatorController::cmdClear_Click() {
    resetAll();
    return {};
}

ControllerOutcome CalculatorController::mnuClear_Click() {
    return cmdClear_Click();
}

ControllerOutcome CalculatorController::mnuNTSC_Click() {
    setStandard(VideoStandard::NTSC);
    resetAll();
    return {};
}

ControllerOutcome CalculatorController::mnuPAL_Click() {
    setStandard(VideoStandard::PAL);
    resetAll();
    return {};
}

ControllerOutcome CalculatorController::click(ListId id, int position) {
    const OptionList& target = list(id);
    if (position < 0 || static_cast<std::size_t>(position) >= target.entries.size()) {
        return {};
    }
    select(id, position);
    clearResults();
    const auto cameras = list(ListId::cameras).selection;
    const auto resolution = list(ListId::resolution).selection;
    if (id == ListId::cameras) {
        apply(RateTable::onCamerasClick(m_standard, cameras, resolution));
    } else if (id == ListId::resolution) {
        apply(RateTable::onResolutionClick(m_standard, cameras, resolution));
    }
    return {};
}

ControllerOutcome CalculatorController::change(ListId id) {
    select(id, std::nullopt);
    return {};
}

ControllerOutcome CalculatorController::cmdCalculate_Click() {
    Selections selections;
    for (const ListId id : kAllLists) {
        const OptionList& current = list(id);
        if (current.selection) {
            selections.at(indexOf(id)) = ChosenEntry{*current.selection, current.text};
        }
    }
    CalculationResult result;
    try {
        result = m_calculate(selections, m_decimalSeparator);
    } catch (const ArithmeticError&) {
        // Only texts outside the catalogue can get here; keep the shown results and say so.
        return {std::string("Calculation Error"),
                "The recording time could not be calculated from these choices.", std::nullopt};
    }
    if (const auto* missing = std::get_if<MissingSelection>(&result)) {
        return {std::string("Missing Data"), missing->message, missing->list};
    }
    auto& time = std::get<RecordingTime>(result);
    m_hoursText = std::move(time.hoursText);
    m_daysText = std::move(time.daysText);
    return {};
}

void CalculatorController::fill(ListId id, TextSpan entries) {
    OptionList& target = list(id);
    target.entries.assign(entries.begin(), entries.end());
    select(id, std::nullopt);
}

void CalculatorController::select(ListId id, std::optional<int> position) {
    OptionList& target = list(id);
    target.selection = position;
    target.text = position ? target.entries.at(static_cast<std::size_t>(*position))
                           : OptionCatalogue::placeholder(id);
}

void CalculatorController::clearResults() {
    m_hoursText.clear();
    m_daysText.clear();
}

void CalculatorController::resetAll() {
    fill(ListId::cameras, OptionCatalogue::cameraTexts());
    fill(ListId::quality, {});
    fill(ListId::frameRate, {});
    fill(ListId::audio, OptionCatalogue::audioTexts());
    fill(ListId::hddsize, OptionCatalogue::hddTexts());
    clearResults();
    fill(ListId::resolution, OptionCatalogue::resolutionTexts(m_standard));
}

void CalculatorController::setStandard(VideoStandard standard) {
    m_standard = standard;
    m_ntscChecked = standard == VideoStandard::NTSC;
    m_palChecked = standard == VideoStandard::PAL;
}

void CalculatorController::apply(const SelectionUpdate& update) {
    clearResults();
    if (update.qualityItems) {
        fill(ListId::quality, *update.qualityItems);
    }
    if (update.rateItems) {
        fill(ListId::frameRate, *update.rateItems);
    }
}

}  // namespace storagecalc
